#include "net/nts/NtsSessions.h"

namespace velmora {

bool Spent(const NtsSession& session) {
    return session.cookies.empty() || session.refused || session.unanswered >= kMaxUnanswered;
}

std::optional<NtsSession> NtsSessions::Take(const std::string& key) {
    std::lock_guard lock(mutex_);
    const auto found = sessions_.find(key);
    if (found == sessions_.end()) {
        return std::nullopt;
    }
    NtsSession session = std::move(found->second);
    sessions_.erase(found);
    return session;
}

void NtsSessions::Keep(const std::string& key, NtsSession session) {
    std::lock_guard lock(mutex_);
    if (Spent(session)) {
        sessions_.erase(key);
    } else {
        sessions_.insert_or_assign(key, std::move(session));
    }
}

NtsSessions& DefaultNtsSessions() {
    static NtsSessions* const sessions = new NtsSessions;
    return *sessions;
}

}  // namespace velmora
