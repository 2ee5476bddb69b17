#pragma once

// The names a session uses for keys, pad buttons, channels and control types, and the names the
// outputs print for them. Lookups ignore case; each table has one canonical spelling for output.

#include <cstdint>
#include <string>

#include "input/types.h"

namespace inputscope {

// Key codes 0-257 (virtual-key codes and the two wheel codes). "0x41" style codes are accepted
// too. Returns -1 when the name is unknown.
int keyFromName(const std::string& name);
// The canonical name of a key code, or "0x.." for codes without one.
std::string keyName(int code);

// Pad codes as bindings use them: buttons 0-15, LT/RT 16/17, stick axes 20-23, None 255.
int padCodeFromName(const std::string& name);
std::string padCodeName(int code);
// The names accepted for pad button bits in a report (codes 0-15).
const char* padButtonList();

// Channel bits joined by '+' ("game+player"), or a number. Returns false when a part is unknown.
bool channelsFromText(const std::string& text, std::uint32_t& mask);
// "game+player", or "none".
std::string channelNames(std::uint32_t mask);
// One channel bit's name, or "" for bits without one.
const char* channelBitName(std::uint32_t bit);

bool controlTypeFromName(const std::string& name, input::ControlType& type);
const char* controlTypeName(input::ControlType type);
// Types the frame update gathers as analogue values.
bool isAnalogueType(input::ControlType type);

// The picture a glyph index stands for ("A", "D-pad up"), or "none".
const char* glyphName(int glyph);

// The contexts layer's words: an event bit's name ("started"), a value type's ("digital", "1d",
// "2d"), a trigger state's ("none", "ongoing", "triggered").
const char* eventName(std::uint32_t bit);
const char* valueTypeName(int type);
const char* triggerStateName(int state);
// The events of a frame as letters: S started, O ongoing, T triggered, C completed, X canceled.
std::string eventLetters(std::uint32_t events);

std::string lower(const std::string& text);

} // namespace inputscope
