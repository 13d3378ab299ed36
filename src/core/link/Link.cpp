#include "link/Link.h"

#include "link/LinkImpl.h"

namespace zintor {

Link::Link(ProgramState& state, Ports& ports, Procedures& procedures)
    : impl_(std::make_unique<Impl>(*this, state, ports, procedures)) {
    impl_->ports.serial.setListener([this](SerialEvent event) { OnComm(event); });
}

Link::~Link() {
    impl_->ports.serial.setListener({});
    for (int index = 0; index < 6; ++index) {
        DisableTimer(index);
    }
}

}  // namespace zintor
