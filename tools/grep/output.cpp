#include "output.h"

namespace xvtool {

namespace {

// GNU grep's default colours (its GREP_COLORS "ms=01;31:fn=35:ln=32:bn=32:se=36").
constexpr const char* kMatchColor = "01;31";
constexpr const char* kNameColor = "35";
constexpr const char* kNumberColor = "32";
constexpr const char* kSeparatorColor = "36";

}  // namespace

GrepPrinter::GrepPrinter(std::FILE* out, const OutputForm& form) : out_(out), form_(form) {}

void GrepPrinter::colored(const char* sgr, std::string_view text) {
    if (form_.color)
        std::fprintf(out_, "\33[%sm\33[K", sgr);
    this->text(text);
    if (form_.color)
        std::fputs("\33[m\33[K", out_);
}

// The name and what follows it: `separator`, or with -Z a NUL byte, which
// is never coloured.
void GrepPrinter::name(std::string_view name, std::string_view separator) {
    colored(kNameColor, name);
    if (form_.nullAfterName)
        std::putc('\0', out_);
    else if (separator == "\n")
        endLine();
    else
        colored(kSeparatorColor, separator);
}

void GrepPrinter::number(unsigned long long n, std::string_view separator) {
    char digits[24];
    const int length = std::snprintf(digits, sizeof digits, "%llu", n);
    colored(kNumberColor, std::string_view(digits, static_cast<std::size_t>(length)));
    colored(kSeparatorColor, separator);
}

void GrepPrinter::prefix(std::string_view name, unsigned long lineNumber,
                         unsigned long long byteOffset, LineKind kind) {
    printedLines_ = true;
    const std::string_view separator = kind == LineKind::selected ? ":" : "-";
    if (form_.withNames)
        this->name(name, separator);
    if (form_.lineNumbers)
        number(lineNumber, separator);
    if (form_.byteOffsets)
        number(byteOffset, separator);
}

void GrepPrinter::match(std::string_view text) {
    colored(kMatchColor, text);
}

void GrepPrinter::groupSeparator() {
    colored(kSeparatorColor, "--");
    endLine();
}

void GrepPrinter::count(std::string_view name, unsigned long n) {
    if (form_.withNames)
        this->name(name, ":");
    std::fprintf(out_, "%lu\n", n);
}

void GrepPrinter::fileName(std::string_view name) {
    this->name(name, "\n");
}

}  // namespace xvtool
