// xvkit/xvkit.h
//
// Umbrella header: includes every public header of the library.

#ifndef XVKIT_XVKIT_H_
#define XVKIT_XVKIT_H_

#include <xvkit/qndate.h>
#include <xvkit/qnlocale.h>
#include <xvkit/qntime.h>
#include <xvkit/qnzone.h>
#include <xvkit/qnzonetz.h>
#include <xvkit/xvbitvec.h>
#include <xvkit/xvobject.h>
#include <xvkit/xvplatform.h>
#include <xvkit/xvregexp.h>
#include <xvkit/xvregexset.h>
#include <xvkit/xvstring.h>

#endif  // XVKIT_XVKIT_H_
