#pragma once

namespace winsim {

unsigned usScanCode(unsigned vk);
const char* usKeyName(unsigned scan);

} // namespace winsim
