// "Sperrfunktionen": reads and writes the RC-setup and test-program locks (setup byte 13).
#include <cstdint>
#include <string>

#include "adapter/adapter.h"
#include "link/link.h"
#include "resources/lock_functions_dialog.h"
#include "resources/main_dialog_ids.h"
#include "settings/command_steps.h"
#include "settings/conversions.h"
#include "settings/settings.h"
#include "settings/setup_map.h"

namespace settings {

namespace {

// A clear bit locks: an erased setup memory (0xFF) reads as nothing locked.
constexpr std::uint8_t rcSetupFreeBit = 0x01;
constexpr std::uint8_t testProgramFreeBit = 0x02;

// Firmware below this level keeps no locks.
constexpr std::int32_t minimumLockLevel = 3;

int readByte(SettingsContext& ctx, int address) {
    return clink::readSetupByte(ctx.link, address) & 0xFF;
}

class LockFunctionsDialog {
  public:
    LockFunctionsDialog(SettingsContext& ctx, ui::Dialog& dialog) : m_ctx(ctx), m_dialog(dialog) {}

    void onCommand(ui::ControlId id) {
        switch (id) {
            case lock_ids::Ok:
            case lock_ids::EndButton:
                settleStatusOnClose();
                m_dialog.end(1);
                break;
            case lock_ids::ReadButton:
                readLocks();
                break;
            case lock_ids::WriteButton:
                // Only a complete read in this opening enables it; a stray command must not
                // write a lock byte from another opening.
                if (m_dialog.enabled(lock_ids::WriteButton)) {
                    writeLocks();
                }
                break;
            default:
                break;
        }
    }

  private:
    void settleStatusOnClose() {
        m_ctx.mainDialog.setText(ids::StatusField, " ");
        m_ctx.link.host.repaint(m_ctx.mainDialog);
    }

    // The restart after an unready first probe; false when the adapter is missing.
    bool reconnectOrReport(clink::Connection& connection) {
        const int firstAnswer = clink::probeExchange(m_ctx.link);
        m_ctx.mainDialog.setText(ids::StatusField, " ");
        m_ctx.link.host.repaint(m_ctx.mainDialog);
        connection = clink::reconnect(m_ctx.link, firstAnswer);
        if (connection == clink::Connection::NoAdapter) {
            m_ctx.link.host.messageBox(&m_dialog, m_ctx.link.messageText, "Error");
            clink::clearStatus(m_ctx.link);
            return false;
        }
        return true;
    }

    void readLocks() {
        clink::Connection connection = clink::Connection::NoAnswer;
        if (!reconnectOrReport(connection)) {
            return;
        }
        if (connection != clink::Connection::Ready) {
            m_ctx.link.host.messageBox(nullptr,
                                       connection == clink::Connection::OtherDevice
                                           ? "angeschlossenes Gerät ist kein ZEK-Micro!"
                                           : "Keine Verbindung!",
                                       "ERROR!");
            clink::clearStatus(m_ctx.link);
            return;
        }

        SetupImage& image = m_ctx.image;
        const int major = readByte(m_ctx, address::versionHigh);
        std::string versionText = "V " + formatHex2(major) + ".";
        image.controllerVersion = major * 256;
        const int minor = readByte(m_ctx, address::versionLow);
        versionText += formatHex2(minor);
        image.controllerVersion += minor;

        if (image.controllerVersion == versionErased) {
            m_ctx.link.host.messageBox(nullptr, "Erst nach Setup mit Fernsteuerung verfügbar!",
                                       "ERROR!");
            return;
        }
        const std::int32_t family = image.versionFamily();
        if (family != familyOne && family != familyThree) {
            m_ctx.link.host.messageBox(nullptr, "Bitte kompatibles Setup-Programm downloaden!",
                                       "ERROR!");
            // Everything that needs read values refuses until the next good read.
            image.controllerVersion = versionInvalid;
            return;
        }
        image.capabilityFlags = readByte(m_ctx, address::capabilityFlags);
        versionText += "-" + formatHex2(image.capabilityFlags);
        m_ctx.mainDialog.setText(ids::VersionField, versionText);

        if (readByte(m_ctx, address::requiredSetupLevel) > setupProgramLevel) {
            m_ctx.link.host.messageBox(nullptr, "Bitte aktuelles Setup-Programm downloaden!", "");
            return;
        }
        if (image.versionLevel() < minimumLockLevel) {
            m_ctx.link.host.messageBox(
                nullptr, "Funktion bei dieser Controllerversion nicht verfügbar!", "ERROR!");
            return;
        }

        m_ctx.lockByte = static_cast<std::uint8_t>(readByte(m_ctx, address::lockFlags));
        m_dialog.setEnabled(lock_ids::RcSetupLockCheck, true);
        m_dialog.setEnabled(lock_ids::TestProgramLockCheck, true);
        m_dialog.setEnabled(lock_ids::WriteButton, true);
        m_dialog.setChecked(lock_ids::RcSetupLockCheck, (m_ctx.lockByte & rcSetupFreeBit) == 0);
        m_dialog.setChecked(lock_ids::TestProgramLockCheck,
                            (m_ctx.lockByte & testProgramFreeBit) == 0);
        m_ctx.link.host.beep();
        clink::settleStatus(m_ctx.link, "ok");
    }

    void writeLocks() {
        clink::Connection connection = clink::Connection::NoAnswer;
        if (!reconnectOrReport(connection)) {
            return;
        }
        // Here a controller of another kind gets no message of its own.
        if (connection != clink::Connection::Ready) {
            m_ctx.link.host.messageBox(nullptr, "Keine Verbindung!", "ERROR!");
            return;
        }

        std::uint8_t lockByte = m_ctx.lockByte;
        if (m_dialog.checked(lock_ids::RcSetupLockCheck)) {
            lockByte &= static_cast<std::uint8_t>(~rcSetupFreeBit);
        } else {
            lockByte |= rcSetupFreeBit;
        }
        if (m_dialog.checked(lock_ids::TestProgramLockCheck)) {
            lockByte &= static_cast<std::uint8_t>(~testProgramFreeBit);
        } else {
            lockByte |= testProgramFreeBit;
        }
        m_ctx.lockByte = lockByte;

        if (clink::writeSetupByteChecked(m_ctx.link, address::lockFlags, lockByte) != 0) {
            m_ctx.link.host.messageBox(nullptr, "Schreibfehler!", "Error!");
            return;
        }
        clink::settleStatus(m_ctx.link, "ok");
        m_ctx.link.host.beep();
    }

    SettingsContext& m_ctx;
    ui::Dialog& m_dialog;
};

}  // namespace

void openLockFunctions(SettingsContext& ctx) {
    if (!ctx.image.valuesRead()) {
        ctx.link.host.messageBox(nullptr, readFirstText, "Error!");
        return;
    }
    clink::showStatus(ctx.link, "verbinden....");
    if (adapter::detectAdapter(ctx.link) != 0) {
        ctx.link.host.messageBox(&ctx.mainDialog, ctx.link.messageText, "Error");
        clink::clearStatus(ctx.link);
        return;
    }
    clink::clearStatus(ctx.link);

    ui::Dialog dialog(resources::lockFunctionsDialogTemplate());
    LockFunctionsDialog lockFunctions(ctx, dialog);
    ctx.link.host.runModal(
        dialog, &ctx.mainDialog, [] {},
        [&lockFunctions](ui::ControlId id) {
            lockFunctions.onCommand(id);
            return ui::Outcome::Done;
        });
}

}  // namespace settings
