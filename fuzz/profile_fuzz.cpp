// Arbitrary bytes as a private-profile file: the text must survive a parse
// unchanged, and a value written into any section found must read back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/PrivateProfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  PrivateProfile profile(text);
  if (profile.Text() != text) std::abort();

  const auto sections = profile.SectionNames();
  std::string section = sections.empty() ? std::string("FUZZ") : sections.front();
  const auto keys = profile.KeyNames(section);
  for (const std::string& key : keys) {
    (void)profile.GetString(section, key, "", 127);
    (void)profile.GetInt(section, key, 80);
  }
  const std::string key = keys.empty() ? std::string("IP") : keys.back();
  if (profile.SetString(section, key, "127.0.0.1")) {
    if (profile.Find(section, key) != std::string("127.0.0.1")) std::abort();
    const PrivateProfile again(profile.Text());
    if (again.Find(section, key) != std::string("127.0.0.1")) std::abort();
  }
  if (profile.SetString("NEW_SECTION", "PORT", "8000")) {
    if (profile.GetInt("new_section", "port", 0) != 8000) std::abort();
  }
  profile.RemoveSection(section);
  (void)profile.Text();
  return 0;
}
