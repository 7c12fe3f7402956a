#include "sync/KissOfDeath.h"

namespace velmora {

std::vector<std::string> KissOfDeathBook::Askable(const std::vector<std::string>& list,
                                                  bool periodic) {
    std::vector<std::string> askable;
    for (const std::string& entry : list) {
        if (refused_.count(entry) == 0 && !(periodic && slowDown_.count(entry) != 0)) {
            askable.push_back(entry);
        }
    }
    if (periodic) {
        slowDown_.clear();
    }
    return askable;
}

void KissOfDeathBook::Note(const std::string& entry, const std::string& kissCode) {
    if (kissCode == "DENY" || kissCode == "RSTR") {
        refused_.insert(entry);
    } else if (kissCode == "RATE") {
        slowDown_.insert(entry);
    }
}

}  // namespace velmora
