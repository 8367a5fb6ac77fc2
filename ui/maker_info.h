// Who makes and distributes the program, as the two menu texts show it. The
// contact details are placeholders: whoever distributes the program sets real
// ones here.
#pragma once

#include <string_view>

namespace ui {

inline constexpr std::string_view kMakerName = "Tesmarin 开发组";
inline constexpr std::string_view kMakerMessengerNumber = "00000000（示例号码，请替换）";
inline constexpr std::string_view kMakerEmail = "tesmarin@example.com";

}  // namespace ui
