#pragma once

#include <string>

namespace velmora {

// The TLS and cryptography libraries, by the names this platform gives them.
extern const char* const kGnuTlsLibrary;
extern const char* const kNettleLibrary;

// A library opened when first needed rather than with the program (few server lists have NTS
// entries, and GnuTLS with what it brings costs every start), and kept for the rest of the
// process: sessions may end while it does. Where it may come from is the platform's rule.
class SharedLibrary {
  public:
    // Shipped with the program (Windows: in its folder), or a part of the system (Windows:
    // System32 only). Linux takes both from the system's library path.
    enum class Origin { kShipped, kSystem };

    explicit SharedLibrary(const char* name, Origin origin = Origin::kShipped);
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // Sets `pointer` to the library's `symbol`; the first one missing is the failure.
    template <class Pointer>
    void Bind(const char* symbol, Pointer& pointer) {
        pointer = reinterpret_cast<Pointer>(Symbol(symbol));
        if (pointer == nullptr && failure_.empty()) {
            failure_ = name_ + " has no " + symbol;
        }
    }

    // Why the library or one of the symbols bound is missing; empty when all are there.
    const std::string& Failure() const { return failure_; }

  private:
    using Address = void (*)();
    Address Symbol(const char* symbol) const;

    std::string name_;
    void* handle_ = nullptr;
    std::string failure_;
};

// The table `Functions` of a library, bound once by `bind`; all or nothing.
template <class Functions>
class LibraryFunctions {
  public:
    LibraryFunctions(const char* library, void (*bind)(SharedLibrary&, Functions&),
                     SharedLibrary::Origin origin = SharedLibrary::Origin::kShipped)
        : library_(library, origin) {
        bind(library_, functions_);
        if (!library_.Failure().empty()) {
            functions_ = {};
        }
    }

    // The table; null when the library or one of its functions is missing, and `why` (when
    // given) then says so.
    const Functions* Get(std::string* why) const {
        if (library_.Failure().empty()) {
            return &functions_;
        }
        if (why != nullptr) {
            *why = library_.Failure();
        }
        return nullptr;
    }

  private:
    // Never closed: sessions may end while the program does.
    SharedLibrary library_;
    Functions functions_{};
};

}  // namespace velmora
