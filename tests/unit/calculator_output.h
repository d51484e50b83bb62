// The calculator's screen output for the entry -500, statement by statement
// as its generated code makes the calls (shared by the console tests and the
// benchmark). The numbers are given as the text number-to-text makes of them.
#pragma once
#include <cstring>
#include <initializer_list>
#include <string>

#include "runtime/console/color_statements.h"
#include "runtime/console/print.h"
#include "runtime/strings/str_desc.h"

inline str_desc text_view(const char* text) {
    str_desc d{};
    d.text = reinterpret_cast<std::uint8_t*>(const_cast<char*>(text));
    d.len = static_cast<std::int32_t>(std::strlen(text));
    return d;
}

inline void print_raw(const std::string& text, int newline = 0) {
    str_desc d = text_view(text.c_str());
    print_string(&d, newline);
}

// One PRINT statement: each item fit-checked and printed, then the line ended.
inline void print_statement(std::initializer_list<const char*> items) {
    for (const char* item : items) {
        str_desc d = text_view(item);
        print_fit_check(&d);
        print_string(&d, 0);
    }
    str_desc empty = text_view("");
    print_string(&empty, 1);
}

inline void print_calculator_heading_and_prompt() {
    palette_set(0, 1, 1);
    color_set(15, 0, 0, 1);
    print_statement({"          ***** Berechnung der Spektralwertanteile x,y *****"});
    print_statement({});
    print_statement({" Bemerkung: fuer Stellen des Spektralfarbenzuges koennen die Wellenlaengen"});
    print_statement({" direkt eingegeben werden. Fuer die Purpurfarben ist die Wellenlaenge mit"});
    print_statement({" einem Minus einzugeben. Es wird dann die Schnittstelle auf der Purpur-"});
    print_statement({" geraden bestimmt."});
    print_statement({" Die Purpurgeradeenden liegen bei den Gegenfarben von etwa 493.8 bis 569.6"});
    print_statement({" Wenn diese Grenzen nicht eingehalten werden, faellt der Schnittpunkt mit "});
    print_statement({" der Purpurgeraden ausserhalb des Spektralfarbenzuges."});
    print_statement({" Die Berechnungsgrenzen sind 360 nm bis 700 nm."});
    print_statement({});
    print_statement({});
    // INPUT: the prompt and "? " without fit check, the echo, Enter's newline.
    for (const char* text : {" Eingabe der Wellenlaenge [nm]: ", "? ", "-500"}) print_raw(text);
    print_statement({});
}

inline void print_calculator_results_for_minus_500() {
    print_statement({});
    print_statement({});
    print_statement({"         fuer Purpurpunkt:"});
    print_statement({});
    print_statement({"         x= ", " .5657461"});
    print_statement({"         y= ", " .1867449"});
    print_statement({});
    print_statement({});
    print_statement({"         fuer ", " 500", " nm :"});
    print_statement({});
    print_statement({"         x= ", " .008168"});
    print_statement({"         y= ", " .538423"});
    print_statement({});
}
