// The controller firmware's command set. The controller answers each byte one exchange
// later, so every answer belongs to the byte sent before it.
#include "adapter/adapter.h"
#include "link/link.h"
#include "resources/texts.h"

namespace clink {

namespace {

constexpr int readCommand = 0x55;        // "U"
constexpr int writeCommand = 0x56;       // "V"
constexpr int selectPageCommand = 0x57;  // "W"
constexpr int loadByteCommand = 0x59;    // "Y"
constexpr int commitFirst = 0x58;        // "X"
constexpr int commitSecond = 0x55;       // "U"
constexpr int commitThird = 0x33;        // "3", repeated to fetch the confirmation

// The firmware polls the link between its other work; it needs this long per byte of
// a setup-memory command.
constexpr std::uint32_t setupByteGapMs = 5;
// Storing a setup byte takes the controller's memory this long before it reads back.
constexpr std::uint32_t setupStoreMs = 20;
// Writing a flash page takes the bootloader this long before it confirms.
constexpr std::uint32_t commitWaitMs = 40;
// The bootloader's gap between bytes, in bit delays.
constexpr int bootloaderGapUnits = 4;

}  // namespace

int probeExchange(LinkContext& ctx) {
    exchangeByte(ctx, probeByte);
    return exchangeByte(ctx);
}

int probeBootloader(LinkContext& ctx) {
    int answer = probeExchange(ctx);
    setStatusText(ctx, texts::StatusBlank);
    repaintMain(ctx);
    if (answer != answerReady) {
        if (adapter::detectAdapter(ctx) != 0) {
            (void)ctx.host.messageBox(nullptr, ctx.messageText, texts::ErrorCaption);
            clearStatus(ctx);
            return 1;
        }
        adapter::startController(ctx, adapter::StartForm::Standard);
        // Only a controller that did not answer at once is probed again; a ready one
        // costs two bytes.
        answer = probeExchange(ctx);
    }
    if (adapter::linesFaultShown(ctx)) {
        // The lines showed their own box (texts::DriverAccessError) and the dialog
        // is ending.
        return 1;
    }
    if (answer == answerReady) {
        return 0;
    }
    (void)ctx.host.messageBox(
        nullptr, answer == answerOtherDevice ? texts::WrongDevice : texts::NoConnection,
        texts::ErrorUpperCaption);
    return 1;
}

Connection reconnect(LinkContext& ctx, int firstAnswer) {
    if (firstAnswer != answerReady) {
        if (adapter::detectAdapter(ctx) != 0) {
            return Connection::NoAdapter;
        }
        adapter::startController(ctx, adapter::StartForm::Standard);
    }
    const int answer = probeExchange(ctx);
    if (answer == answerReady) {
        return Connection::Ready;
    }
    return answer == answerOtherDevice ? Connection::OtherDevice : Connection::NoAnswer;
}

int readSetupByte(LinkContext& ctx, int address) {
    exchangeByte(ctx, readCommand);
    adapter::delayMs(ctx, setupByteGapMs);
    adapter::delayMs(ctx, setupByteGapMs);
    exchangeByte(ctx, address);
    adapter::delayMs(ctx, setupByteGapMs);
    const int value = exchangeByte(ctx, 0x00);
    if (ctx.writeGate != nullptr && !adapter::linesFailed(ctx)) {
        ctx.writeGate->afterSetupRead(address, value & 0xFF);
    }
    return value;
}

int writeSetupByte(LinkContext& ctx, int address, int value) {
    const int byte = value & 0xFF;
    if (ctx.writeGate != nullptr && !ctx.writeGate->beforeSetupWrite(ctx, address, byte)) {
        return 0;
    }
    for (const int sent : {writeCommand, address, byte}) {
        adapter::delayMs(ctx, setupByteGapMs);
        exchangeByte(ctx, sent);
    }
    adapter::delayMs(ctx, setupByteGapMs);
    adapter::delayMs(ctx, setupStoreMs);
    const int readBack = exchangeByte(ctx, 0x00);
    // Dead lines can echo any constant, 0x00 included: that is no verified write.
    return readBack == byte && !adapter::linesFailed(ctx) ? 0 : 1;
}

int writeSetupByteChecked(LinkContext& ctx, int address, int value) {
    if (writeSetupByte(ctx, address, value) == 0) {
        return 0;
    }
    (void)ctx.host.messageBox(nullptr, texts::WriteError, texts::ErrorBangCaption);
    return 1;
}

void selectFlashPage(LinkContext& ctx, int page) {
    exchangeByte(ctx, selectPageCommand);
    adapter::bitDelay(ctx, bootloaderGapUnits);
    exchangeByte(ctx, page);
    adapter::bitDelay(ctx, bootloaderGapUnits);
}

namespace {

int sendPageByte(LinkContext& ctx, int offset, int data) {
    exchangeByte(ctx, loadByteCommand);
    adapter::bitDelay(ctx, bootloaderGapUnits);
    exchangeByte(ctx, offset);
    adapter::bitDelay(ctx, bootloaderGapUnits);
    if (exchangeByte(ctx, data) != offset || adapter::linesFailed(ctx)) {
        return 1;
    }
    adapter::bitDelay(ctx, bootloaderGapUnits);
    if (exchangeByte(ctx, 0x00) != data || adapter::linesFailed(ctx)) {
        return 1;
    }
    adapter::bitDelay(ctx, bootloaderGapUnits);
    return 0;
}

}  // namespace

int loadPageByte(LinkContext& ctx, int offset, int data) {
    if (ctx.writeGate != nullptr && !ctx.writeGate->beforeFlashWrite(offset, data & 0xFF)) {
        return 0;
    }
    return sendPageByte(ctx, offset, data);
}

int loadPageBytes(LinkContext& ctx, std::span<const PageByte> bytes,
                  const std::function<void()>& loaded) {
    if (bytes.empty()) {
        return 0;
    }
    // The gate sees every byte once, whichever way it then travels.
    if (ctx.writeGate != nullptr) {
        bool send = true;
        for (const PageByte& byte : bytes) {
            send = ctx.writeGate->beforeFlashWrite(byte.offset, byte.data & 0xFF) && send;
        }
        if (!send) {
            for (std::size_t i = 0; i < bytes.size(); ++i) {
                loaded();
            }
            return 0;
        }
    }
    // Each byte is four exchanges with the bootloader's gap between them; the gap after a
    // byte is the one before the next.
    std::vector<RunByte> run;
    run.reserve(bytes.size() * 4);
    for (const PageByte& byte : bytes) {
        run.push_back({loadByteCommand, run.empty() ? 0 : bootloaderGapUnits});
        run.push_back({byte.offset, bootloaderGapUnits});
        run.push_back({byte.data, bootloaderGapUnits});
        run.push_back({0x00, bootloaderGapUnits});
    }
    const std::optional<std::vector<int>> answers = exchangeByteRun(ctx, run);
    if (!answers) {
        for (const PageByte& byte : bytes) {
            if (sendPageByte(ctx, byte.offset, byte.data) != 0) {
                return 1;
            }
            loaded();
        }
        return 0;
    }
    const bool linesWork = !adapter::linesFailed(ctx);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const PageByte& byte = bytes[i];
        const int echoedOffset = (*answers)[4 * i + 2];
        const int echoedData = (*answers)[4 * i + 3];
        if (echoedOffset != byte.offset || !linesWork) {
            keepRegisters(ctx, byte.data, echoedOffset);
            return 1;
        }
        if (echoedData != byte.data) {
            keepRegisters(ctx, 0x00, echoedData);
            return 1;
        }
        loaded();
    }
    keepRegisters(ctx, 0x00, answers->back());
    adapter::bitDelay(ctx, bootloaderGapUnits);
    return 0;
}

int commitFlashPage(LinkContext& ctx, int page) {
    if (ctx.writeGate != nullptr && !ctx.writeGate->beforeFlashCommit(page)) {
        return 0;
    }
    for (const int sent : {commitFirst, commitSecond, commitThird}) {
        adapter::bitDelay(ctx, bootloaderGapUnits);
        exchangeByte(ctx, sent);
    }
    adapter::delayMs(ctx, commitWaitMs);
    const int confirmation = exchangeByte(ctx);
    adapter::bitDelay(ctx, bootloaderGapUnits);
    return confirmation == page && !adapter::linesFailed(ctx) ? 0 : 1;
}

}  // namespace clink
