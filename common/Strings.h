// Reading the update service's answer without a JSON parser: the text between two markers
// (matched without regard to ASCII letter case), backslash escapes undone, and the test that
// an address from the answer is a web address the shell may open.
#pragma once

#include <string>
#include <string_view>

// The source's text between the first StartMarker and the next EndMarker after it; empty when
// either is missing. An empty StartMarker starts at the beginning, an empty EndMarker runs to
// the end. When EndMarker is a quote (", ' or "'), a backslash-escaped quote does not end the
// value.
std::u16string ExtractBetween(std::u16string_view Source, std::u16string_view StartMarker,
                              std::u16string_view EndMarker);

// The text with backslash escapes undone, one UTF-16 unit per escape; an unknown escape and a
// trailing backslash yield nothing. Raises EAppError for a "\u" not followed by hexadecimal
// digits.
std::u16string UnescapeJSON(std::u16string_view Text);

// True for an absolute http or https URL with a host and no white space, control characters
// or double quotes: the only kind of address that the program hands to the shell (whose
// "open" verb would also run files, shares and other schemes).
bool IsWebAddress(std::u16string_view Address);

// IsWebAddress and https: the only addresses that the update service may offer (a download,
// a notice's link). A plain http address can be changed on the way by anyone on the network,
// and the user would run whatever the browser then downloads.
bool IsSecureWebAddress(std::u16string_view Address);
