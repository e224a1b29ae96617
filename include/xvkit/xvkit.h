// xvkit/xvkit.h
//
// Umbrella header: includes every public header of the library.

#ifndef XVKIT_XVKIT_H_
#define XVKIT_XVKIT_H_

#include <xvkit/xvplatform.h>
#include <xvkit/xvobject.h>
#include <xvkit/xvstring.h>
#include <xvkit/qndate.h>
#include <xvkit/xvbitvec.h>
#include <xvkit/qnzone.h>
#include <xvkit/qntime.h>
#include <xvkit/qnlocale.h>
#include <xvkit/xvregexp.h>

#endif  // XVKIT_XVKIT_H_
