// Module2: the file-type association. The player makes itself the shell's opener of its media
// types by writing registry entries under HKEY_CLASSES_ROOT, each type followed by the shell's
// notice that associations changed.
#pragma once

#include <string>

#include "platform/registry/registry.h"

struct AssociationRow {
    const char* ext;  // with its leading dot
    const char* description;
};

// The association table, rows 1 to 8; nullptr for any other row.
const AssociationRow* AssociationTable(int n);

// The row whose extension, without its dot, is `type` (compared without regard to case); 0 when
// no row has it.
short AssociationRowOf(const std::string& type);

// Associates row n (1 to 8) of the table; any other n does nothing.
void RegisterFileType(short n, const std::string& appPath, const std::string& exeName);

// Writes the six entries of one association in order and sends the shell's notice:
//   ext                            (default)  class name (exeName + ext)
//   ext\ShellNew                   (default)  ""
//   .lst\ShellNew                  NullFile   ""
//   class name                     (default)  description
//   class name\Shell\Open\command  (default)  appPath, "/" unless it ends in one, exeName, " %1"
//   class name\DefaultIcon         (default)  appPath, "/", exeName, ",0"
// The third entry is the fixed key ".lst\ShellNew" for every type, as the player has always
// written it; each type's own ShellNew key is the second entry.
void CreateAssociation(const std::string& ext, const std::string& description,
                       const std::string& appPath, const std::string& exeName);

// Creates or opens the key, sets the value as REG_SZ (the data's characters, no terminating zero
// counted) and closes the key. Every error is passed over in silence.
void SaveRegString(HKEY root, const std::string& key, const std::string& valueName,
                   const std::string& data);
