// The one string instantiation the library exports, and the stream helper.
#include <xvkit/xvstring.h>
#include <cctype>

template class XVTSubString<char>;
template class XVTString<char>;

extern "C" std::istream& XEatWhite(std::istream& is) {
    while (!(is.rdstate() & (std::ios_base::eofbit | std::ios_base::badbit))) {
        const auto next = is.peek();
        if (next == std::istream::traits_type::eof() || !std::isspace(next))
            break;
        is.get();
    }
    return is;
}
