#pragma once
// One backup per editing session. A user who edits a texture in an image
// editor saves again and again; each save rewrites the set, but only the
// first keeps the set as it was, under a numbered backup as every rewrite
// does. The later ones put the new set in place over the one the session
// wrote last, through the same never-absent rename, and take no backup
// number: that set is the session's own work in progress, and the backup
// from before the session already holds what the user had.
//
// A later rewrite takes a backup of its own again (and the session starts
// over from it) when the set at its path is no longer the one the session
// wrote, because another program or a restore changed it, or when the
// session's backup is gone: nothing the session did not write is ever
// replaced without a backup.

#include <optional>
#include <string>

#include "backup/guarded_rewrite.h"
#include "platform/file_system.h"
#include "set_file/tool_state.h"

namespace sorrelwick::backup {

struct SessionBackup {
    std::string setPath;                        // the resolved set it belongs to
    BackupRotation backup;                      // taken by its first rewrite
    std::optional<platform::FileIdentity> written;  // the set as its last rewrite left it
};

// Whether a rewrite of `resolved` (a resolved set) continues `session`:
// the set at its path is the one the session wrote last, and the session's
// backup is still a file.
bool ContinuesSession(const SessionBackup& session, const ToolState& resolved);

// After a rewrite that put a new set in place: a backup taken becomes the
// session's, and the set written is remembered.
void NoteSessionRewrite(SessionBackup& session, const ToolState& resolved,
                        const BackupRotation& rotation);

}  // namespace sorrelwick::backup
