#pragma once

#include <string>
#include <string_view>

namespace velmora {

// What protects the time requests of one query and recognises their answers: the session of
// an NTS entry. A plain SNTP query has none.
class RequestSeal {
  public:
    virtual ~RequestSeal() = default;
    // No more requests can be sealed: a new key exchange is due.
    virtual bool Spent() const = 0;
    // The next request: `header` and what protects it.
    virtual std::string Seal(std::string_view header) = 0;
    // Whether `datagram` is the authentic answer to the request sealed last.
    virtual bool Accepts(std::string_view datagram) = 0;
    // The wait for the request sealed last is over, answered or not.
    virtual void Conclude() = 0;
};

}  // namespace velmora
