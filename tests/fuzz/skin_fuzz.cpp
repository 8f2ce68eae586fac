// The skin description reader on any bytes: every value a skin reads through ReadINI, the skin
// name that becomes part of its pictures' paths, and the numbers and the colour its values convert
// to. Reading never fails; a conversion fails only with the run-time's error; a name that passes
// the single-file-name rule names nothing outside its folder.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/controls/QuixLabel.h"
#include "platform/files/files.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Error.h"
#include "player/ModINI.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

const char* const kPositionKeys[] = {
    "MinT",      "MinL",      "CloseT",     "CloseL",     "AbouT",     "AboutL",
    "VideoT",    "VideoL",    "AssociateT", "AssociateL", "BrowseT",   "BrowseL",
    "LisT",      "ListL",     "RemoteT",    "RemoteL",    "TimeT",     "TimeL",
    "DurationT", "DurationL", "TitleT",     "TitleL",     "VolT",      "VoltL",
    "PgT",       "PgL",       "PlayT",      "PlayL",      "PreviousT", "PreviousL",
    "PauseT",    "PauseL",    "StopT",      "StopL",      "NexT",      "NextL"};

// The description file the values are read from, removed when the program ends.
struct DescriptionFile {
    std::string path;
    DescriptionFile() {
        char name[] = "/tmp/kesto-skin-fuzz-XXXXXX";
        int fd = mkstemp(name);
        FUZZ_CHECK(fd >= 0);
        close(fd);
        path = name;
    }
    ~DescriptionFile() { unlink(path.c_str()); }
};

std::string Read(const char* section, const char* key, const std::string& file) {
    std::string value = vb::CStr(ReadINI(section, key, "", file));
    FUZZ_CHECK(value.size() <= 254);
    FUZZ_CHECK(value.empty() || (value.front() != ' ' && value.back() != ' '));
    return value;
}

void Number(const char* section, const char* key, const std::string& file) {
    try {
        vb::CSng(ReadINI(section, key, "", file));
    } catch (const vb::RuntimeError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const DescriptionFile description;
    const std::string& file = description.path;
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const std::string skinName = Read("SkinName", "SkinName", file);
    if (platform::files::IsFileName(skinName)) {
        FUZZ_CHECK(skinName.find('/') == std::string::npos);
        FUZZ_CHECK(skinName.find('\\') == std::string::npos);
        FUZZ_CHECK(skinName.find("..") == std::string::npos);
        FUZZ_CHECK(skinName.find('\0') == std::string::npos);
    }
    try {
        controls::ColorFromText(Read("TextColor", "ForeColor", file));
    } catch (const vb::RuntimeError&) {
    }
    Number("Position", "Top", file);
    for (const char* key : kPositionKeys) Number("Settings", key, file);
    Read("Info", "AuthorName", file);
    return 0;
}
