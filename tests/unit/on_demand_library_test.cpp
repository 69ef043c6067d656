#include "on_demand_library.h"

#include <gtest/gtest.h>

#include <cmath>

#include <string>

#include "load_error.h"

namespace {

std::string FailureOf(OnDemandLibrary& library, const char* function) {
  try {
    if (function) {
      library.Function(function);
    } else {
      library.Require();
    }
  } catch (const LoadError& e) {
    return e.what();
  }
  return "";
}

}  // namespace

// A library that is not installed, or lacks a function, fails the load that needs it with a
// message naming it, every time it is asked for; one that is there gives its functions.
TEST(OnDemandLibrary, OpensOnFirstUseAndNamesWhatIsMissing) {
  OnDemandLibrary missing("libvexal-not-installed.so.7");
  EXPECT_NE(FailureOf(missing, nullptr).find("libvexal-not-installed.so.7"), std::string::npos);
  EXPECT_NE(FailureOf(missing, "anything").find("libvexal-not-installed.so.7"), std::string::npos);

  OnDemandLibrary libm("libm.so.6");
  EXPECT_EQ(FailureOf(libm, nullptr), "");
  using Cosine = double (*)(double);
  EXPECT_EQ(reinterpret_cast<Cosine>(libm.Function("cos"))(0.5), std::cos(0.5));
  EXPECT_NE(FailureOf(libm, "vexal_no_such_function").find("vexal_no_such_function"),
            std::string::npos);
}
