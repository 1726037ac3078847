#include "job/InputChecks.h"

#include "job/PathCheck.h"
#include "res/resource.h"

unsigned CheckSource(bool onServer, const std::string& server, std::string& path) {
    if (onServer) {
        if (server.empty()) return IDS_ENTER_SERVER_NAME;
        if (path.empty()) return IDS_ENTER_DB_PATH;
        return 0;
    }
    TrimLeadingSpaces(path);
    if (path.empty()) return IDS_ENTER_DB_PATH;
    return CheckPath(path);
}

unsigned CheckDestination(std::string& path, unsigned emptyMessageId) {
    TrimLeadingSpaces(path);
    if (path.empty()) return emptyMessageId;
    return CheckPath(path);
}
