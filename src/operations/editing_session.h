#pragma once
// A user editing textures of one set in an image editor: each save is
// imported as `replace --texture NAME=FILE --convert --fit` would import it,
// through the guarded rewrite, and the session keeps one backup however
// often the user saves (backup/session_backup.h). The command line's watch
// holds one; so can a window that opens textures in the user's editor.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "backup/session_backup.h"
#include "operations/replacement.h"
#include "operations/texture_index.h"
#include "report/report_log.h"
#include "set_file/tool_state.h"

namespace sorrelwick::operations {

class EditingSession {
public:
    // Pictures are taken in any format the tool reads (`convert`) and, by
    // default, scaled to the texture's sides (`fit`).
    explicit EditingSession(ReplaceOptions options = {true, true, nullptr});
    // The session's options point at its own backup record.
    EditingSession(const EditingSession&) = delete;
    EditingSession& operator=(const EditingSession&) = delete;

    // Imports the file at `path` into the texture `texture` (named as the
    // listing prints it) of the set `state` names, with the report of
    // `replace --texture`. The first rewrite of the session, or of a set the
    // session did not write last, keeps a backup; the later ones say which
    // backup holds the set from before the session. False as `replace`
    // fails; `filesRefused` as there.
    bool Import(const ToolState& state, std::string_view texture, const std::string& path,
                report::ReportLog& log, std::size_t* filesRefused = nullptr);
    // The same for the textures numbered `textures` (from 0, in file order).
    bool ImportAt(const ToolState& state, const std::vector<std::size_t>& textures,
                  const std::string& path, report::ReportLog& log,
                  std::size_t* filesRefused = nullptr);

    // The name of the backup that holds the set as it was before the
    // session; empty until an import rewrote the set.
    const std::string& BackupName() const { return backup_.backup.backupName; }

private:
    ReplaceOptions options_;
    backup::SessionBackup backup_;
};

// The textures a file in an edited folder stands for, as `replace FOLDER`
// takes it: those named like the file (any letter case) and, when
// `pictures`, those of the same stem when the file is a picture
// (texture_file_name.h). Empty for any other file, such as an editor's
// temporary file.
std::vector<std::size_t> TexturesForFile(const std::vector<IndexedTexture>& textures,
                                         std::string_view fileName, bool pictures);

}  // namespace sorrelwick::operations
