// The hand-over part is the last 31 characters of the command line: the tag
// "(unique-tag:=/@*$+-)chain" followed by the rest of the file name, which
// ends in ".tmp"; the file is named by the last 12 characters. The
// calculator shares no variables with any other program, so there is no
// data to restore from that file: it is neither read nor removed, and a
// normal start, without the tag, changes nothing.
#include "calculator/chain_handover.h"

#include <cstring>

#include "runtime/process/startup.h"
#include "runtime/strings/str_desc.h"

namespace {

constexpr char handover_tag[] = "(unique-tag:=/@*$+-)chain";
constexpr std::int32_t handover_length = 31;   // from the tag to the end
constexpr char handover_suffix[] = ".tmp";

}  // namespace

bool chain_handover_check() {
    if (!command_line) return false;
    const std::int32_t length = command_line->len;
    const char* text = reinterpret_cast<const char*>(command_line->text);
    const std::int32_t suffix_length = sizeof handover_suffix - 1;
    if (length <= handover_length || std::memcmp(text + length - suffix_length, handover_suffix, suffix_length) != 0 ||
        std::memcmp(text + length - handover_length, handover_tag, sizeof handover_tag - 1) != 0)
        return false;
    // The part goes, and the blank that joined it to the user's arguments.
    std::int32_t kept = length - handover_length;
    if (kept > 0 && text[kept - 1] == ' ') --kept;
    str_assign(command_line, str_left(command_line, kept));
    return true;
}
