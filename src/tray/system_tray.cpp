#include "tray/system_tray.h"

#include <algorithm>
#include <cstring>

namespace keyhush {

namespace {

// Field offsets of the record.
constexpr size_t kSize = 0, kWindow = 4, kId = 8, kFlags = 12, kCallbackMessage = 16, kIcon = 20,
                 kTipOffset = 24;
constexpr size_t kTipSize = 64;

void Put32(NotifyIconRecord& record, size_t offset, uint32_t value) {
  for (size_t i = 0; i < 4; ++i) record[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

NotifyIconRecord Record(Handle window, int32_t id) {
  NotifyIconRecord record{};
  Put32(record, kSize, static_cast<uint32_t>(record.size()));
  Put32(record, kWindow, window);
  Put32(record, kId, static_cast<uint32_t>(id));
  return record;
}

// The tip, its NUL, then spaces to the field's end. A tip too long for the field keeps its NUL
// in the last byte: the shell must never read an unterminated tip.
void FitTip(NotifyIconRecord& record, std::string_view tip) {
  const auto field = record.begin() + kTipOffset;
  std::fill(field, field + kTipSize, static_cast<uint8_t>(' '));
  const size_t length = std::min(tip.size(), kTipSize - 1);
  std::memcpy(&*field, tip.data(), length);
  field[length] = 0;
}

}  // namespace

void mdlSystemTray::Notify(uint32_t message, Handle window, int32_t id, Handle icon,
                           std::string_view tip) {
  NotifyIconRecord record = Record(window, id);
  Put32(record, kFlags, NIF_MESSAGE | NIF_ICON | NIF_TIP);
  Put32(record, kCallbackMessage, WM_MOUSEMOVE);
  Put32(record, kIcon, icon);
  FitTip(record, tip);
  platform_.Shell_NotifyIconA(message, record);
}

void mdlSystemTray::AddTrayIcon(Handle window, int32_t id, Handle icon, std::string_view tip) {
  Notify(NIM_ADD, window, id, icon, tip);
}

void mdlSystemTray::ModifyTrayIcon(Handle window, int32_t id, Handle icon, std::string_view tip) {
  Notify(NIM_MODIFY, window, id, icon, tip);
}

void mdlSystemTray::RemoveTrayIcon(Handle window, int32_t id) {
  platform_.Shell_NotifyIconA(NIM_DELETE, Record(window, id));
}

bool mdlSystemTray::IsRightButtonRelease(float x) const {
  const int32_t twipsPerPixel = platform_.TwipsPerPixelX();
  if (twipsPerPixel <= 0) return false;
  // The callback window took the message number for a pixel position and turned it into twips;
  // single precision undoes that exactly. A pointer moving over the small box never gets near
  // 517 pixels.
  const float message = x / static_cast<float>(twipsPerPixel);
  return message == static_cast<float>(WM_RBUTTONUP);
}

}  // namespace keyhush
