// A locale snapshot formats money amounts and reads them back. The snapshot
// copies the conventions of a C runtime locale once, so it keeps them
// whatever the program later does with setlocale.
//
//   xvkit-example-money [LOCALE]        (default en_US.UTF-8)
#include <xvkit/xvkit.h>

#include <clocale>
#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    const char* name = argc > 1 ? argv[1] : "en_US.UTF-8";
    // A snapshot of a name the runtime does not know captures the current
    // locale instead, so ask the runtime first.
    if (std::setlocale(LC_ALL, name) == nullptr) {
        std::fprintf(stderr, "no C runtime locale '%s' (see 'locale -a', or set LOCPATH)\n", name);
        return 1;
    }
    std::setlocale(LC_ALL, "C");
    const QNLocaleSnapshot snapshot(name);

    // Amounts count the currency's smallest unit: 123456 cents are 1234.56.
    for (const double amount : {123456.0, -123456.0, 5.0}) {
        const XVString local = snapshot.moneyAsString(amount, QNLocale::symbolLocal);
        const XVString intl = snapshot.moneyAsString(amount, QNLocale::symbolInternational);
        // Reading the text back gives the amount again.
        double back = 0;
        const bool read = snapshot.stringToMoney(local, &back, QNLocale::symbolLocal);
        std::printf("%.0f: %s, %s, read back: %s%.0f\n", amount, local.c_str(), intl.c_str(),
                    read ? "" : "(failed) ", back);
    }

    // Text typed by a user: wrong texts are refused, never guessed.
    for (const char* text : {"1,234.50", "12.3", "$ 7"}) {
        double amount = 0;
        if (snapshot.stringToMoney(XVString(text), &amount, QNLocale::symbolLocal))
            std::printf("'%s' holds %.0f smallest units\n", text, amount);
        else
            std::printf("'%s' is not a money amount here\n", text);
    }
    return 0;
}
