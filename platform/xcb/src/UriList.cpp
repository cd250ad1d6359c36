#include "UriList.h"

#include <strings.h>
#include <unistd.h>

#include <cstring>

namespace sdxcb {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Percent escapes decoded; false for a broken escape or an escaped 0.
bool percentDecode(const std::string& in, std::string* out) {
    out->clear();
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] != '%') {
            *out += in[i];
            continue;
        }
        const int high = i + 2 < in.size() ? hexValue(in[i + 1]) : -1;
        const int low = i + 2 < in.size() ? hexValue(in[i + 2]) : -1;
        if (high < 0 || low < 0 || (high == 0 && low == 0)) return false;
        *out += char(high * 16 + low);
        i += 2;
    }
    return true;
}

bool startsWithNoCase(const std::string& s, const char* prefix) {
    return strncasecmp(s.c_str(), prefix, std::strlen(prefix)) == 0;
}

} // namespace

std::vector<std::string> LocalPathsOfUriList(const std::string& uriList) {
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    std::vector<std::string> paths;
    size_t start = 0;
    while (start < uriList.size()) {
        size_t end = uriList.find('\n', start);
        if (end == std::string::npos) end = uriList.size();
        std::string line = uriList.substr(start, end - start);
        start = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == '\0'))
            line.pop_back();
        if (line.empty() || line[0] == '#' || !startsWithNoCase(line, "file:")) continue;
        std::string rest = line.substr(5);
        if (rest.rfind("//", 0) == 0) {
            // file://host/path: the host must be this machine.
            const size_t slash = rest.find('/', 2);
            if (slash == std::string::npos) continue;
            const std::string authority = rest.substr(2, slash - 2);
            if (!authority.empty() && strcasecmp(authority.c_str(), "localhost") != 0 &&
                strcasecmp(authority.c_str(), host) != 0)
                continue;
            rest = rest.substr(slash);
        }
        if (rest.empty() || rest[0] != '/') continue;
        rest = rest.substr(0, rest.find_first_of("?#"));
        std::string path;
        if (percentDecode(rest, &path)) paths.push_back(path);
    }
    return paths;
}

} // namespace sdxcb
