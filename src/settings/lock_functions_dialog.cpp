// "Sperrfunktionen": reads and writes the RC-setup and test-program locks (setup byte 13).
#include <cstdint>
#include <string>

#include "adapter/adapter.h"
#include "controller/connect.h"
#include "controller/identity.h"
#include "link/link.h"
#include "resources/lock_functions_dialog.h"
#include "resources/main_dialog_ids.h"
#include "resources/texts.h"
#include "settings/command_steps.h"
#include "settings/settings.h"

namespace settings {

namespace {

using namespace controller;

// Firmware below this level keeps no locks.
constexpr std::int32_t minimumLockLevel = 3;

class LockFunctionsDialog {
  public:
    LockFunctionsDialog(SettingsContext& ctx, ui::Dialog& dialog) : m_ctx(ctx), m_dialog(dialog) {}

    ui::Outcome onCommand(ui::ControlId id) {
        if (id == lock_ids::Ok || id == lock_ids::EndButton) {
            blankStatus();
            m_dialog.end(1);
        } else if (id == lock_ids::ReadButton) {
            return readLocks();
        } else if (id == lock_ids::WriteButton && m_dialog.enabled(id)) {
            // Only a complete read in this opening enables it; a stray command must not
            // write a lock byte from another opening.
            return writeLocks();
        }
        return ui::Outcome::Done;
    }

  private:
    ui::UiHost& host() { return m_ctx.link.host; }

    void blankStatus() {
        m_ctx.mainDialog.setText(ids::StatusField, " ");
        host().repaint(m_ctx.mainDialog);
    }

    // The restart after an unready first probe; NoAdapter has been reported.
    Connection connectOrReport() {
        const int firstAnswer = clink::probeExchange(m_ctx.link);
        blankStatus();
        const Connection connection = connectAfterProbe(m_ctx.link, firstAnswer, Reprobe::Always);
        if (connection == Connection::NoAdapter) {
            reportAdapterFailure(m_ctx.link, &m_dialog);
        }
        return connection;
    }

    ui::Outcome refuse(std::string_view message, std::string_view caption) {
        host().messageBox(nullptr, message, caption);
        return ui::Outcome::Refused;
    }

    ui::Outcome readLocks() {
        const Connection connection = connectOrReport();
        if (connection == Connection::NoAdapter) {
            return ui::Outcome::Failed;
        }
        if (connection != Connection::Ready) {
            reportNotReady(m_ctx.link, connection);
            return ui::Outcome::Failed;
        }

        SetupImage& image = m_ctx.image;
        Identity identity;
        const IdentityCheck check = readIdentity(m_ctx.link, identity);
        image.controllerVersion = identity.version();
        if (identity.capabilitiesRead) {
            image.capabilityFlags = identity.capabilityFlags;
            m_ctx.mainDialog.setText(ids::VersionField, identity.versionText());
        }
        switch (check) {
            case IdentityCheck::Accepted:
                break;
            case IdentityCheck::NotSetUp:
                return refuse(texts::NotSetUp, texts::ErrorUpperCaption);
            case IdentityCheck::OtherFamily:
                // Everything that needs read values refuses until the next good read.
                image.controllerVersion = versionInvalid;
                return refuse(texts::GetCompatibleProgram, texts::ErrorUpperCaption);
            case IdentityCheck::ProgramTooOld:
                return refuse(texts::GetCurrentProgram, "");
        }
        if (image.versionLevel() < minimumLockLevel) {
            return refuse(texts::NotInThisVersion, texts::ErrorUpperCaption);
        }

        m_ctx.lockByte =
            static_cast<std::uint8_t>(clink::readSetupByte(m_ctx.link, address::lockFlags) & 0xFF);
        m_dialog.setEnabled(lock_ids::RcSetupLockCheck, true);
        m_dialog.setEnabled(lock_ids::TestProgramLockCheck, true);
        m_dialog.setEnabled(lock_ids::WriteButton, true);
        m_dialog.setChecked(lock_ids::RcSetupLockCheck, (m_ctx.lockByte & lock::rcSetupFree) == 0);
        m_dialog.setChecked(lock_ids::TestProgramLockCheck,
                            (m_ctx.lockByte & lock::testProgramFree) == 0);
        host().beep();
        clink::settleStatus(m_ctx.link, "ok");
        return ui::Outcome::Done;
    }

    ui::Outcome writeLocks() {
        const Connection connection = connectOrReport();
        if (connection == Connection::NoAdapter) {
            return ui::Outcome::Failed;
        }
        // Here a controller of another kind gets no message of its own.
        if (connection != Connection::Ready) {
            host().messageBox(nullptr, texts::NoConnection, texts::ErrorUpperCaption);
            return ui::Outcome::Failed;
        }

        std::uint8_t lockByte = m_ctx.lockByte;
        for (const auto& [check, free] :
             {std::pair{lock_ids::RcSetupLockCheck, lock::rcSetupFree},
              std::pair{lock_ids::TestProgramLockCheck, lock::testProgramFree}}) {
            lockByte = static_cast<std::uint8_t>(m_dialog.checked(check) ? lockByte & ~free
                                                                         : lockByte | free);
        }
        m_ctx.lockByte = lockByte;

        if (clink::writeSetupByteChecked(m_ctx.link, address::lockFlags, lockByte) != 0) {
            host().messageBox(nullptr, texts::WriteError, texts::ErrorBangCaption);
            return ui::Outcome::Failed;
        }
        clink::settleStatus(m_ctx.link, "ok");
        host().beep();
        return ui::Outcome::Done;
    }

    SettingsContext& m_ctx;
    ui::Dialog& m_dialog;
};

}  // namespace

ui::Outcome openLockFunctions(SettingsContext& ctx) {
    if (!ctx.image.valuesRead()) {
        return refuseBeforeRead(ctx);
    }
    if (!startConnecting(ctx.link, &ctx.mainDialog)) {
        return ui::Outcome::Failed;
    }
    clink::clearStatus(ctx.link);

    ui::Dialog dialog(resources::lockFunctionsDialogTemplate());
    LockFunctionsDialog lockFunctions(ctx, dialog);
    return runSubDialog(
        ctx, dialog, [] {},
        [&lockFunctions](ui::ControlId id) { return lockFunctions.onCommand(id); });
}

}  // namespace settings
