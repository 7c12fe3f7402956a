#pragma once

namespace velmora {

// At most `burst` requests at once, then one per `spacingSeconds`, on the steady clock: a client
// that asks in a loop gets refusals, not a service that does nothing else.
class RequestRate {
  public:
    RequestRate(int burst, double spacingSeconds);
    // Whether a request at `steadySeconds` may be taken; a taken one uses up its share.
    bool Allow(double steadySeconds);

  private:
    double burst_;
    double spacing_;
    double tokens_;
    double last_ = 0;
    bool started_ = false;
};

}  // namespace velmora
