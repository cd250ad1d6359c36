#include "SpoolerSystemQueue.h"

#include <sstream>

#include "SpoolerCommand.h"

namespace sdspool {

std::vector<std::string> systemPrinters() {
    std::vector<std::string> printers;
    auto listing = runSpoolerCommand({"lpstat", "-e"});
    if (!listing) return printers;
    std::istringstream lines(*listing);
    for (std::string line; std::getline(lines, line);) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.pop_back();
        if (!line.empty()) printers.push_back(line);
    }
    return printers;
}

bool submitSystemJob(const std::string& printer, const std::string& title,
                     const std::string& file) {
    std::vector<std::string> command = {"lp", "-d", printer, "-o", "raw"};
    if (!title.empty()) {
        command.push_back("-t");
        command.push_back(title);
    }
    command.push_back("--");
    command.push_back(file);
    return runSpoolerCommand(command).has_value();
}

} // namespace sdspool
