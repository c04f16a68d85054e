// Init's fixed-drive list on the emulated machine: drives a user adds count, device entries do not.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/drives.h"
#include "frame/forget_service.h"
#include "support/temp_machine.h"
#include "webinteractive/frame.h"

namespace {

TEST(InitDrives, DrivesAddedToTheEmulatedMachineCountButDevicesDoNot) {
    wi::test::ForgetService();
    wi::test::TempMachine machine;
    IWebInteractive::Init("<Config/>");
    EXPECT_EQ(wi::frame::FixedDrives(), (std::vector<std::string>{"C:", "D:"}));
    machine.AddDrive('e', machine.MakeHostDirectory("big"));
    machine.AddDevice('f', machine.MakeHostDirectory("cdrom"));
    IWebInteractive::Init("<Config/>");
    EXPECT_EQ(wi::frame::FixedDrives(), (std::vector<std::string>{"C:", "D:", "E:"}));
}

}  // namespace
