#include "output.h"

namespace xvtool {

namespace {

// GNU grep's default colours (its GREP_COLORS "ms=01;31:fn=35:ln=32:se=36").
constexpr const char* kMatchColor = "01;31";
constexpr const char* kNameColor = "35";
constexpr const char* kNumberColor = "32";
constexpr const char* kSeparatorColor = "36";

}  // namespace

GrepPrinter::GrepPrinter(bool withNames, bool lineNumbers, bool color)
    : withNames_(withNames), lineNumbers_(lineNumbers), color_(color) {}

void GrepPrinter::colored(const char* sgr, std::string_view text) {
    if (color_)
        std::printf("\33[%sm\33[K", sgr);
    this->text(text);
    if (color_)
        std::fputs("\33[m\33[K", stdout);
}

void GrepPrinter::prefix(std::string_view name, unsigned long lineNumber, LineKind kind) {
    printedLines_ = true;
    const std::string_view separator = kind == LineKind::selected ? ":" : "-";
    if (withNames_) {
        colored(kNameColor, name);
        colored(kSeparatorColor, separator);
    }
    if (lineNumbers_) {
        char number[24];
        const int length = std::snprintf(number, sizeof number, "%lu", lineNumber);
        colored(kNumberColor, std::string_view(number, static_cast<std::size_t>(length)));
        colored(kSeparatorColor, separator);
    }
}

void GrepPrinter::match(std::string_view text) {
    colored(kMatchColor, text);
}

void GrepPrinter::groupSeparator() {
    colored(kSeparatorColor, "--");
    endLine();
}

void GrepPrinter::count(std::string_view name, unsigned long n) {
    if (withNames_) {
        colored(kNameColor, name);
        colored(kSeparatorColor, ":");
    }
    std::printf("%lu\n", n);
}

void GrepPrinter::fileName(std::string_view name) {
    colored(kNameColor, name);
    endLine();
}

void GrepPrinter::binaryMatches(std::string_view name) {
    std::printf("Binary file %.*s matches\n", static_cast<int>(name.size()), name.data());
}

}  // namespace xvtool
