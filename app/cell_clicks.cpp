#include "cell_clicks.h"

#include <utility>

#include "mainform.h"

namespace {

template <size_t Index>
void FlipBit(void* data, ObjectBase* /*sender*/) {
  constexpr PinMapEntry entry = PinMap[Index];
  static_assert(entry.ClickFlips && entry.Reg != Register::SR);
  // The window takes no clicks while the exit question is open; a click
  // message that reaches a cell all the same writes nothing.
  if (static_cast<MainForm*>(data)->Asking) return;
  // The port is not read here: the bit is flipped in the last polled value,
  // and the next poll shows the result.
  if constexpr (entry.Reg == Register::DR) {
    WriteDR(static_cast<uint8_t>(PortState.LastDR ^ entry.Mask));
  } else {
    WriteCR(static_cast<uint8_t>(PortState.LastCR ^ entry.Mask));
  }
}

template <size_t... Index>
constexpr std::array<NotifyEvent::CodeType, sizeof...(Index)> MakeFlipBitHandlers(
    std::index_sequence<Index...>) {
  return {&FlipBit<Index>...};
}

}  // namespace

constexpr std::array<NotifyEvent::CodeType, kClickableCount> kFlipBitHandlers =
    MakeFlipBitHandlers(std::make_index_sequence<kClickableCount>());
