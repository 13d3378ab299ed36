#include "link/Link.h"

#include "link/LinkImpl.h"

namespace zintor {

Link::Link(ProgramState& state, Ports& ports, Procedures& procedures)
    : impl_(std::make_unique<Impl>(*this, state, ports, procedures)) {
    impl_->ports.serial.setListener([this](SerialEvent event) { onComm(event); });
}

Link::~Link() {
    impl_->ports.serial.setListener({});
    for (int index = 0; index < 6; ++index) {
        disableTimer(index);
    }
}

}  // namespace zintor
