#include "store/CreateLibrary.h"

#include "common/Files.h"
#include "common/Platform.h"
#include "common/RunError.h"

#include <sqlite3.h>

namespace mw {

bool CreateEmptyLibrary(const std::string& path, const std::string& schemaSql) {
    if (FileExists(path)) return false;
    // Built under another name and renamed, so that a failure never leaves half a library.
    std::string temp = path + ".new";
    platform::RemoveFile(temp);
    sqlite3* db = nullptr;
    int rc =
        sqlite3_open_v2(temp.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    char* message = nullptr;
    if (rc == SQLITE_OK) rc = sqlite3_exec(db, schemaSql.c_str(), nullptr, nullptr, &message);
    std::string why = message ? message : sqlite3_errstr(rc);
    sqlite3_free(message);
    sqlite3_close(db);
    if (rc != SQLITE_OK || platform::MoveIntoPlace(temp, path) != 0) {
        platform::RemoveFile(temp);
        throw RunError(err::EngineGeneralFailure,
                       "Cannot create the library '" + path + "': " + why);
    }
    return true;
}

} // namespace mw
