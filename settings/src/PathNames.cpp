#include "settings/PathNames.h"

#include <string_view>

namespace {

std::string_view View(const char* path) {
    return path ? std::string_view(path) : std::string_view();
}

CString Text(std::string_view part) {
    return CString(std::string(part).c_str());
}

} // namespace

CString GetPathDirectory(const char* path) {
    std::string_view p = View(path);
    std::size_t slash = p.find_last_of("/\\");
    return slash == std::string_view::npos ? CString() : Text(p.substr(0, slash));
}

CString GetPathFileName(const char* path) {
    std::string_view p = View(path);
    std::size_t slash = p.find_last_of("/\\");
    return slash == std::string_view::npos ? Text(p) : Text(p.substr(slash + 1));
}

CString GetPathExtension(const char* path) {
    std::string_view p = View(path);
    std::size_t dot = p.find_last_of('.');
    return dot == std::string_view::npos ? CString() : Text(p.substr(dot + 1));
}
