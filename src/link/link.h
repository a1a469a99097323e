// The clocked bit/byte/word exchange and the controller firmware's command set.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "adapter/link_context.h"

// "clink" (controller link): a namespace called link would collide with POSIX ::link(),
// which <unistd.h> declares in every translation unit that includes the standard library.
namespace clink {

using adapter::LinkContext;

inline constexpr std::uint8_t probeByte = 0xFE;
inline constexpr std::uint8_t answerReady = 0xFE;
inline constexpr std::uint8_t answerOtherDevice = 0xFD;

// Sends bits 7..0 of sendRegister; returns the received byte.
int exchangeByte(LinkContext& ctx);
// Sets sendRegister to value, then exchanges.
int exchangeByte(LinkContext& ctx, int value);
// Sends bits 15..0 of sendRegister; receiveRegister is neither cleared nor masked.
void exchangeWord(LinkContext& ctx);

// One byte of a run: its value, and the bit delays between the byte before it and its own
// exchangeByte.
struct RunByte {
    int value = 0;
    int unitsBefore = 0;
};
// The answers of a run of exchangeByte calls sent at once, where the lines can: none where
// they send one exchange at a time, and then nothing was sent. The registers are left to
// the caller (keepRegisters), which knows how far the answers counted.
[[nodiscard]] std::optional<std::vector<int>> exchangeByteRun(LinkContext& ctx,
                                                              std::span<const RunByte> run);
// The registers as exchangeByte(value) leaves them when it received answer.
void keepRegisters(LinkContext& ctx, int value, int answer);

// 0xFE twice; returns the answer received with the second byte.
[[nodiscard]] int probeExchange(LinkContext& ctx);
// 0 ready; 1 failed, after its own message box.
[[nodiscard]] int probeBootloader(LinkContext& ctx);

enum class Connection { Ready, NoAdapter, OtherDevice, NoAnswer };
// After a probe that answered firstAnswer: when the controller was not ready, the adapter
// test and a restart; then the probe again. NoAdapter leaves the reason in messageText.
[[nodiscard]] Connection reconnect(LinkContext& ctx, int firstAnswer);

[[nodiscard]] int readSetupByte(LinkContext& ctx, int address);
// 0 when the read-back shows the byte stored over working lines, else 1.
[[nodiscard]] int writeSetupByte(LinkContext& ctx, int address, int value);
// writeSetupByte; a failure shows texts::WriteError before it returns 1.
[[nodiscard]] int writeSetupByteChecked(LinkContext& ctx, int address, int value);

void selectFlashPage(LinkContext& ctx, int page);
[[nodiscard]] int loadPageByte(LinkContext& ctx, int offset, int data);
struct PageByte {
    int offset = 0;
    int data = 0;
};
// loadPageByte for each byte in order, loaded() after each that loaded; 1 at the first
// that did not, the rest not counted. Lines that send a run at once get the whole page in
// one, and the echoes are checked afterwards in the same order.
[[nodiscard]] int loadPageBytes(LinkContext& ctx, std::span<const PageByte> bytes,
                                const std::function<void()>& loaded);
[[nodiscard]] int commitFlashPage(LinkContext& ctx, int page);

// --- the main dialog's status field (1044) and the shared failure ending; all do
// nothing to a dialog when ctx.mainWindow is null
void setStatusText(LinkContext& ctx, std::string_view text);
void setStatusEnabled(LinkContext& ctx, bool enabled);
void repaintMain(LinkContext& ctx);
// Progress: the status field enabled with text, repainted.
void showStatus(LinkContext& ctx, std::string_view text);
// A finished step: the status field with text, disabled, repainted.
void settleStatus(LinkContext& ctx, std::string_view text);
// The status field blank (one blank) and disabled, repainted.
void clearStatus(LinkContext& ctx);
// Enable the status field, repaint, blank it, box owned by the main dialog with
// messageText and the caption texts::ErrorCaption, disable the status field, repaint.
void errorTail(LinkContext& ctx);

}  // namespace clink
