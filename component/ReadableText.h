// Text for showing to a person. Tags of real files are often in a legacy code
// page (GBK, Big5, Latin-1) rather than UTF-8; these helpers turn such bytes
// into valid UTF-8 without any toolkit.
#pragma once

#include <string>
#include <string_view>

namespace component {

// Whether the bytes are well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

// The bytes up to the first zero byte as valid UTF-8: unchanged when they
// already are UTF-8, else decoded as GB18030 (which covers GBK), then Big5,
// then Latin-1, which always succeeds.
std::string ReadableText(std::string_view bytes);

}  // namespace component
