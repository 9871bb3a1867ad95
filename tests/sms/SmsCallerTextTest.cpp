// Caller texts that would change the command line or the PDU they go into
// are refused before a byte is written; numbers are cleaned as phone numbers
// are and must then be an address a PDU can carry.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "SimulatedPhone.h"
#include "services/CMxGsmSms.h"

using fonexa::sim::ModemContext;
using fonexa::sim::Registration;
using fonexa::testing::SimulatedPhone;

class SmsCallerText : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { phone = std::make_unique<SimulatedPhone>("GenericPhone"); }
  static void TearDownTestSuite() { phone.reset(); }
  void SetUp() override {
    phone->modem->update([](ModemContext& ctx) {
      ctx.messages.clear();
      ctx.centre.clearSent();
    });
    phone->modem->setRegistration(Registration::Home);
  }

  static std::unique_ptr<SimulatedPhone> phone;
  CMxGsmSms sms{&phone->session};
};

std::unique_ptr<SimulatedPhone> SmsCallerText::phone;

TEST_F(SmsCallerText, NumbersTooLongForAnAddressSendNothing) {
  // 276 characters once made the phone send a flash message of the caller's
  // choosing to a recipient hidden in the number.
  const std::string number = std::string(20, '1') + std::string(256, '9');
  const size_t mark = phone->Mark();
  EXPECT_EQ(sms.SendTextMessage(number, "Hi"), 0);
  EXPECT_EQ(sms.SendFlashMessage(number, "Hi"), 0);
  EXPECT_EQ(sms.WriteSmsEntry(number, "Hi"), -1);
  EXPECT_EQ(sms.SendTextMessage("+4917011122334455667788", "Hi"), 0);  // 22 digits
  EXPECT_EQ(sms.SendTextMessage("555;+CMGD=1,4", "Hi"), 0);
  EXPECT_EQ(sms.WriteSmsEntry("555\x08\x08\x08", "Hi"), -1);
  EXPECT_EQ(phone->ReceivedSince(mark), "");
  EXPECT_TRUE(phone->modem->sentMessages().empty());
}

TEST_F(SmsCallerText, NumbersAreCleanedIntoTheAddress) {
  ASSERT_EQ(sms.SendTextMessage("+49 (0) 170-111/2233", "Hi"), 1);
  ASSERT_EQ(sms.SendFlashMessage("030-123 456", "Hi"), 1);
  const auto sent = phone->modem->sentMessages();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].destination, "+491701112233");
  EXPECT_EQ(sent[1].destination, "030123456");
  EXPECT_GE(sms.WriteSmsEntry("0170 111 22 33", "Hi"), 0);
}

TEST_F(SmsCallerText, ServiceCentreWithControlBytesSendsNothing) {
  const size_t mark = phone->Mark();
  EXPECT_EQ(sms.SetServiceCenter("+4917\r"), 0);
  EXPECT_EQ(sms.SetServiceCenter("+49\x08\x08+CMGD=1,4"), 0);
  EXPECT_EQ(sms.SetServiceCenter("+4917\x7F"), 0);
  EXPECT_EQ(phone->ReceivedSince(mark), "");
  EXPECT_EQ(sms.SetServiceCenter("+4917"), 1);
}
