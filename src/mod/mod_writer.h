#pragma once
// Writes a mod file: its archive made in memory, then written as every
// output of the tool is, whole or not at all.

#include <string>
#include <vector>

#include "mod/mod_manifest.h"
#include "mod/zip_archive.h"
#include "report/report_log.h"

namespace sorrelwick::mod {

// The archive's bytes: mod.json, preview.html, then each payload under its
// texture's entry name, in the manifest's order. The same pieces give the
// same bytes, whatever the number of `jobs` (0: one per core) that deflate
// them.
ByteVector ModArchive(const ModManifest& manifest, format::Bytes page,
                      const std::vector<ByteVector>& payloads, unsigned jobs = 0);

// Writes the archive beside `modPath` under a temporary name and moves it
// there; an existing file is replaced only when `replaceExisting`, and a
// chess set never. False after the lines that say why.
bool WriteModFile(const std::string& modPath, const ModManifest& manifest, format::Bytes page,
                  const std::vector<ByteVector>& payloads, bool replaceExisting,
                  report::ReportLog& log, unsigned jobs = 0);

}  // namespace sorrelwick::mod
