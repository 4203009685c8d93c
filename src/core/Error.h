#pragma once

#include <stdexcept>

namespace halvrick {

// The one exception type of the project: thrown only by the operations that may fail with an error
// (JSON decoding, calendar construction, exports); everything else reports failure in its result.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace halvrick
