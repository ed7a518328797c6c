// Rules of the playlist that do not need a window: the header's sort order and the clipboard text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lumo::app {

// Negative, zero or positive as a sorts before, with or after b. Two texts that both begin with a
// number (digits with at most one "." or ",") compare by that number; otherwise by character codes,
// case-sensitive; an empty text sorts first.
int comparePlaylistTexts(std::string_view a, std::string_view b);

// "File Name", a tab, then one line per text; every line ends with CR LF.
std::string playlistClipboardText(const std::vector<std::string>& texts);

} // namespace lumo::app
