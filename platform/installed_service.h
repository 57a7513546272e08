#pragma once
// A replaceable service: the one a test installed, else the program's own. Tests swap in
// a scripted double through Install and put the previous one back when they are done.

#include <utility>

namespace platform {

template <class Service, class Default>
class InstalledService {
 public:
  Service& Get() {
    // Made at its first use, so that it is never built before the toolkit it uses.
    static Default standard;
    return installed_ ? *installed_ : standard;
  }

  // Returns the previous service. Not owned.
  Service* Install(Service* service) { return std::exchange(installed_, service); }

 private:
  Service* installed_ = nullptr;
};

}  // namespace platform
