#include "backup/session_backup.h"

namespace sorrelwick::backup {

bool ContinuesSession(const SessionBackup& session, const ToolState& resolved) {
    if (session.backup.backupPath.empty() || !session.written ||
        session.setPath != resolved.setPath) {
        return false;
    }
    platform::FileFacts facts;
    return platform::ReadFileIdentity(resolved.setPath) == session.written &&
           platform::ReadFileFacts(session.backup.backupPath, facts) ==
               platform::FactsOutcome::Found &&
           facts.isFile;
}

void NoteSessionRewrite(SessionBackup& session, const ToolState& resolved,
                        const BackupRotation& rotation) {
    if (!rotation.backupPath.empty()) {
        session.setPath = resolved.setPath;
        session.backup = rotation;
    }
    session.written = platform::ReadFileIdentity(resolved.setPath);
}

}  // namespace sorrelwick::backup
