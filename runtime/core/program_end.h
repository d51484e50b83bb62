// The end of the program: the flags of the exit protocol, END, the exit
// sequence of the screen thread and the close button.
#pragma once
#include <atomic>
#include <cstdint>

extern std::atomic<std::uint8_t> stop_requested;           // END, break key, dialogue's "No"
extern std::atomic<std::uint8_t> exit_in_progress;         // the exit sequence has started
extern std::atomic<std::uint32_t> stopped_threads;         // bit 0 program thread parked, bit 1 timer thread ended
extern std::atomic<std::uint32_t> close_request;           // bit 0 close button, bit 1 break key
extern std::atomic<std::int32_t> close_handled_by_program; // 1 once the program called exit_query
extern std::int32_t exit_status;
