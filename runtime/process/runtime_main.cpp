// The start-up of the run-time, in a fixed order: everything is initialised
// on the main thread before the first worker thread starts, so the threads
// see complete tables without further synchronisation.
#include "runtime/process/runtime_main.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "runtime/core/emulated_memory.h"
#include "runtime/core/process_state.h"
#include "runtime/core/program_end.h"
#include "runtime/core/threads.h"
#include "runtime/errors/errors.h"
#include "runtime/events/event_check.h"
#include "runtime/events/event_traps.h"
#include "runtime/events/exit_sequence.h"
#include "runtime/events/timer_thread.h"
#include "runtime/fonts/fonts.h"
#include "runtime/fonts/palettes.h"
#include "runtime/input/input_line.h"
#include "runtime/input/keyboard_buffer.h"
#include "runtime/lists/handle_list.h"
#include "runtime/lists/input_devices.h"
#include "runtime/process/command_line_options.h"
#include "runtime/process/program_prologue.h"
#include "runtime/process/startup.h"
#include "runtime/render/screen_thread.h"
#include "runtime/render/software_frame.h"
#include "runtime/screen/console_image.h"
#include "runtime/screen/render_pause.h"
#include "runtime/screen/screen_image.h"
#include "runtime/strings/str_desc.h"
#include "runtime/terminal/console_input.h"
#include "runtime/terminal/console_terminal.h"
#include "runtime/terminal/terminal_dialog.h"
#include "runtime/window/event_loop.h"
#include "runtime/window/glut_message.h"
#include "runtime/window/hardware_image.h"
#include "runtime/window/hgc_layer.h"
#include "runtime/window/render_state.h"
#include "runtime/window/selection_keeper.h"
#include "runtime/window/window.h"

thread_handle* worker_threads[3] = {nullptr, nullptr, nullptr};

namespace {

void handle_lists_startup() {
    mouse_queues_startup();
    special_handles = list_new(special_handle_record_size);
    network_lists[0] = list_new(network_record_size);
    network_lists[1] = list_new(network_record_size);
    hardware_images = list_new_locked(hardware_image_record_size);
    hgc_list = list_new(hgc_record_size);
}

// The keys that the ON KEY traps watch: F1 to F10, the arrows (with their
// keypad twins), F11 and F12. Timer record 0 is in use and empty.
void trap_tables_startup() {
    for (int n = 1; n <= 10; ++n) on_key_traps[n].code = 0x3B00 + (n - 1) * 0x100;
    constexpr std::int32_t arrows[4][2] = {{0x4800, 100264}, {0x4B00, 100260}, {0x4D00, 100262}, {0x5000, 100258}};
    for (int n = 0; n < 4; ++n) {
        on_key_traps[11 + n].code = arrows[n][0];
        on_key_traps[11 + n].second_code = arrows[n][1];
    }
    on_key_traps[30].code = 0x8500;
    on_key_traps[31].code = 0x8600;
    timer_traps[0].in_use = 1;
}

// A permanent heap string holding text (which it copies).
str_desc* permanent_string(str_desc* string, const char* text) {
    str_assign(string, str_from_cstring(text));
    return string;
}

}  // namespace

void program_thread(void* program) {
    thread_name_set("program");
    program_thread_prologue();
    reinterpret_cast<program_entry>(program)();
    // The program's code has run to its end: the process ends in the orderly way.
    stop_requested.store(1);
    park_program_thread();
}

void runtime_prepare(int argc, char** argv) {
    software_frames_reset();
    render_state_reset();
    handle_lists_startup();
    trap_tables_startup();

    emulated_memory_clear();
    strings_startup();

    char* directory = working_directory_text();
    startup_directory = permanent_string(permanent_heap_string, directory ? directory : "");
    std::free(directory);
    change_to_executable_directory();

    char* arguments = command_line_text(argc, argv);
    command_line = permanent_string(str_new(0, 0), arguments ? arguments : "");
    std::free(arguments);
    argument_count = argc;
    argument_vector = argv;

    keyboard_buffer_startup();

    palettes_install();
    if (!console_option) fonts_install();   // only the renderer draws glyphs
    // SCREEN 0 is a statement, and statements do nothing while an error is
    // pending: an error recorded above (no memory for the directory's text)
    // would leave the program without a text page, and every PRINT and INPUT
    // after the user's "Yes" would fail. The error waits until the screen exists.
    const std::int32_t recorded_error = pending_error.exchange(0);
    screen_set_mode(0, 0, 0, 0, 0, 1);
    allow_50_rows = 1;
    if (recorded_error != 0) {
        pending_error.store(recorded_error);
        pending_event.store(1);
    }
    devices_startup();
}

void workers_start(thread_starter start, program_entry program) {
    struct worker {
        thread_entry entry;
        const char* name;
    };
    static const worker workers[3] = {
        {program_thread, "program thread"}, {timer_thread, "timer thread"}, {screen_thread, "screen thread"}};
    for (int i = 0; i < 3; ++i) {
        if (i == 2) program_started.store(1);   // before the screen thread renders
        worker_threads[i] = start(workers[i].entry, i == 0 ? reinterpret_cast<void*>(program) : nullptr);
        if (!worker_threads[i]) {
            // Without all three the program cannot run to its end (the end
            // runs on the screen thread and waits for the other two): say so
            // and end, rather than hang.
            alert_box("The %s could not be started: %s", workers[i].name, std::strerror(errno));
            runtime_exit(1);
        }
    }
}

int runtime_main(int argc, char** argv, program_entry program) {
    selection_keeper_run_if_asked();   // started again to keep copied text after the end
    command_line_options_handle(argc, argv);
    runtime_prepare(argc, argv);
    window_init(argc, argv);
    process_end.exit_through_window = exit_through_window;
    window_created.store(1);
    workers_start(thread_start, program);
    window_event_loop();
}

int console_runtime_main(int argc, char** argv, program_entry program) {
    command_line_options_handle(argc, argv);
    console_option = 1;
    runtime_prepare(argc, argv);
    if (!console_image_create()) {
        std::fputs("out of memory for the console\n", stderr);
        return 1;
    }
    console_terminal_startup();
    // Nothing to render and no window: the program runs on this thread and
    // ends the process itself when it parks. No timer runs yet, so no timer
    // thread either (the first timer armed starts one).
    screen_shown.store(screen_hidden);
    process_end.exit_sequence_on_park = exit_sequence;
    terminal_message_box = console_message_box;
    console_input_line_reader = console_input_line;
    stopped_threads.store(2);
    program_started.store(1);
    program_thread(reinterpret_cast<void*>(program));
    return 0;   // not reached: the program thread parks
}
