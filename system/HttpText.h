// The portable part of the HTTP client: which request headers may be sent, the request's
// header lines, and the decoding of a response body by the character set its Content-Type
// declares (UTF-8 when it declares none or one this program does not know).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "system/Http.h"

// True when the header can be sent as it is: a non-empty name of token characters and a
// value without line breaks or NUL, so that no caller can smuggle in a header of its own.
bool IsSendableHeader(const THttpHeader& header);

// "Name: Value\r\n" for one header.
std::u16string HeaderLine(const THttpHeader& header);

// The charset parameter of a Content-Type value, lower-cased and unquoted; empty when none.
std::u16string CharsetOfContentType(std::u16string_view contentType);

// The body as text: UTF-8 (its byte-order mark dropped), or by the declared character set
// when decoding asks for it: UTF-8, US-ASCII, ISO-8859-1 and windows-1252 (read alike),
// UTF-16, UTF-16LE and UTF-16BE. Any other character set is read as UTF-8.
std::u16string DecodeBody(std::string_view bytes, std::u16string_view contentType,
                          TBodyDecoding decoding);
