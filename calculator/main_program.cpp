// The calculator's dialogue: heading, note, one prompt, the results, END.
//
// Each BASIC statement is a call into the run-time followed by the event
// check with the statement's line number (statement_done), which an error
// dialogue reports; statements that used strings first release their
// temporaries down to the mark taken at the start.
#include "calculator/main_program.h"

#include <cstdint>

#include "calculator/chain_handover.h"
#include "calculator/chromaticity.h"
#include "calculator/single_variables.h"
#include "runtime/core/program_end.h"
#include "runtime/events/event_check.h"
#include "runtime/input/input_line.h"
#include "runtime/input/input_targets.h"
#include "runtime/process/end_statement.h"
#include "runtime/process/startup.h"
#include "runtime/screen/color_statements.h"
#include "runtime/screen/print.h"
#include "runtime/strings/number_to_text.h"
#include "runtime/strings/str_desc.h"
#include "runtime/strings/text_to_number.h"

namespace {

block_guard* main_module_guard = nullptr;
std::uint32_t temp_list_mark = 0;

void statement_end(std::uint32_t line) {
    temp_cleanup(temp_list_mark, 0);
    statement_done(line);
}

// One PRINT item: its text goes through the statement's working string.
// False when an error is pending, which ends the PRINT there.
bool print_item(str_desc* item) {
    str_desc* working = str_new(0, 0);
    str_assign(working, item);
    const bool printing = pending_error.load() == 0;
    if (printing) {
        print_fit_check(working);
        print_string(working, 0);
    }
    str_free(working);
    return printing;
}

bool print_text(const char* text) { return print_item(str_from_cstring(text)); }
bool print_number(float value) { return print_item(single_to_text(value)); }
void print_line_end() { print_string(permanent_empty_string, 1); }

// PRINT "text"
void print_line(const char* text, std::uint32_t line) {
    if (print_text(text)) print_line_end();
    statement_end(line);
}

// PRINT
void print_empty_line(std::uint32_t line) {
    print_line_end();
    statement_end(line);
}

// PRINT "label"; value
void print_labelled_number(const char* label, float value, std::uint32_t line) {
    if (print_text(label) && print_number(value)) print_line_end();
    statement_end(line);
}

// INPUT " Eingabe der Wellenlaenge [nm]: "; entry$
void input_entry(str_desc* entry, std::uint32_t line) {
    print_string(str_from_cstring(" Eingabe der Wellenlaenge [nm]: "), 0);
    print_string(str_from_cstring("? "), 0);
    input_target_set(1, input_type_string, entry);
    input_line(1, 1);
    if (exit_in_progress.load() != 0) park_program_thread();
    statement_end(line);
}

}  // namespace

void program_main() {
    temp_list_mark = temp_mark();
    if (!main_module_guard) {
        main_module_guard = block_guard_new();
        main_module_guard->kind = 3;
    }
    str_desc* entry = str_new(0, 0);
    single_variables v = create_single_variables();
    chain_handover_check();

    palette_set(0, 1, 1);   // background colour 0 shows as blue
    statement_done(6);
    color_set(15, 0, 0, 1);
    statement_done(6);
    print_line("          ***** Berechnung der Spektralwertanteile x,y *****", 7);
    print_empty_line(8);
    print_line(" Bemerkung: fuer Stellen des Spektralfarbenzuges koennen die Wellenlaengen", 9);
    print_line(" direkt eingegeben werden. Fuer die Purpurfarben ist die Wellenlaenge mit", 10);
    print_line(" einem Minus einzugeben. Es wird dann die Schnittstelle auf der Purpur-", 11);
    print_line(" geraden bestimmt.", 12);
    print_line(" Die Purpurgeradeenden liegen bei den Gegenfarben von etwa 493.8 bis 569.6", 13);
    print_line(" Wenn diese Grenzen nicht eingehalten werden, faellt der Schnittpunkt mit ", 14);
    print_line(" der Purpurgeraden ausserhalb des Spektralfarbenzuges.", 15);
    print_line(" Die Berechnungsgrenzen sind 360 nm bis 700 nm.", 16);
    print_empty_line(18);
    print_empty_line(19);
    input_entry(entry, 20);

    v.wavelength = static_cast<float>(text_to_number(entry));   // VAL(entry$)
    statement_end(22);

    compute_chromaticity(v);   // lines 26 to 110

    if (v.purple == 1) {   // the output part of the IF of line 82
        print_empty_line(112);
        print_empty_line(113);
        print_line("         fuer Purpurpunkt:", 114);
        print_empty_line(115);
        print_labelled_number("         x= ", v.purple_x, 116);
        print_labelled_number("         y= ", v.purple_y, 117);
    }
    print_empty_line(121);
    print_empty_line(122);
    if (print_text("         fuer ") && print_number(v.wavelength) && print_text(" nm :")) print_line_end();
    statement_end(124);
    print_empty_line(125);
    print_labelled_number("         x= ", v.x, 126);
    print_labelled_number("         y= ", v.y, 127);
    print_empty_line(128);
    end_statement();   // line 131
}
