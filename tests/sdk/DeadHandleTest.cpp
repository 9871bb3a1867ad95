// Service objects keep a copy of their Gsm's handle, not the Gsm: one used
// after its Gsm released the instance must fail, not touch freed memory. Run
// it under AddressSanitizer (FONEXA_SANITIZE) to see the difference.
#include <optional>
#include <string>

#include "SdkFixture.h"
#include "fonexa/Fonexa.h"

using namespace Mebrix::Fonexa;
using fonexa::sdktest::VirtualPhoneTest;

namespace {

class Silent : public Dynamic::Events::EventHandler {
 public:
  int OnEvent(uint32_t, std::string, uint32_t) override { return 0; }
};

using SdkDeadHandle = VirtualPhoneTest;

TEST_F(SdkDeadHandle, ServiceObjectsThatOutliveTheirGsmFail) {
  StartModem();
  std::optional<Dynamic::Module> module;
  std::optional<Dynamic::Call> call;
  std::optional<Dynamic::Sms> sms;
  std::optional<Dynamic::PhoneBook> book;
  std::optional<Dynamic::Network> network;
  std::optional<Dynamic::Protection> protection;
  std::optional<Dynamic::Events> events;
  {
    Dynamic::Gsm gsm;
    module.emplace(&gsm);
    ASSERT_EQ(module->Initialize(Spec()), 1);
    call.emplace(&gsm);
    sms.emplace(&gsm);
    book.emplace(&gsm);
    network.emplace(&gsm);
    protection.emplace(&gsm);
    events.emplace(&gsm);
    ASSERT_FALSE(module->GetManufacturer().empty());
  }
  EXPECT_EQ(module->GetManufacturer(), "");
  EXPECT_EQ(module->SwitchOn(), 0);
  EXPECT_EQ(module->GetState(1), 0);
  EXPECT_EQ(module->Attach(100), 0);
  EXPECT_EQ(call->Dial("+420606111222"), 0);
  EXPECT_FALSE(call->ListCurrentCalls().has_value());
  EXPECT_EQ(sms->SendMessage("+420606111222", "late"), 0);
  EXPECT_FALSE(sms->ListMessages(4).has_value());
  EXPECT_FALSE(book->ListEntries(-1, -1).has_value());
  int rssi = -1;
  EXPECT_EQ(network->GetSignalQuality(rssi), 0);
  EXPECT_EQ(protection->GetVerifyStatus(), 0);
  Silent handler;
  EXPECT_EQ(events->Register(0x100, &handler), 0u);
  EXPECT_TRUE(modem->sentMessages().empty());
}

}  // namespace
