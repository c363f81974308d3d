#include "dtmrepo/trace.h"

#include <iostream>

namespace dtmrepo {

Trace::Trace(int level) : level_(level), out_(&std::cout) {}

Trace::Trace(int level, std::ostream& out) : level_(level), out_(&out) {}

void Trace::line(int atLevel, std::string_view text) const {
    if (level_ == atLevel) {
        *out_ << text << '\n';
    }
}

}  // namespace dtmrepo
