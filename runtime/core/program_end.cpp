#include "runtime/core/program_end.h"

std::atomic<std::uint8_t> stop_requested{0};
std::atomic<std::uint8_t> exit_in_progress{0};
std::atomic<std::uint32_t> stopped_threads{0};
std::atomic<std::uint32_t> close_request{0};
std::atomic<std::int32_t> close_handled_by_program{0};
std::int32_t exit_status = 0;
