#include "net/nts/NtsSessions.h"

namespace velmora {

NtsSession* NtsSessions::Usable(const std::string& key) {
    const auto found = sessions_.find(key);
    return found == sessions_.end() || found->second.cookies.empty() ? nullptr : &found->second;
}

NtsSession& NtsSessions::Keep(const std::string& key, NtsSession session) {
    return sessions_[key] = std::move(session);
}

void NtsSessions::Forget(const std::string& key) {
    sessions_.erase(key);
}

NtsSessions& DefaultNtsSessions() {
    static NtsSessions sessions;
    return sessions;
}

}  // namespace velmora
