// Encoding and decoding one full 7-bit message: 160 characters into the
// SMS-SUBMIT PDU text, and the 160-character SMS-DELIVER PDU text a phone
// lists into an SmsEntry. Built with FONEXA_BENCH_GAMMU, the same run times
// libgammu's GSM_EncodeSMSFrame and GSM_DecodePDUFrame on the same message.
#include <benchmark/benchmark.h>

#include <string>

#include "codec/CMxGsmCoding.h"

#ifdef FONEXA_BENCH_GAMMU
#include <gammu.h>
#endif

namespace {

using fonexa::CMxGsmCoding;
using fonexa::SmsEntry;

const std::string kNumber = "+420777123456";

std::string MessageText() {
  std::string text;
  while (text.size() < 160) text += "The quick brown fox jumps over the lazy dog, 0123456789. ";
  text.resize(160);
  return text;
}

// What a phone lists for that text received from kNumber.
std::string DeliverPdu() {
  return "0791246030500200"  // service centre +420603052000
         "04"                // SMS-DELIVER
         "0C91247077214365"  // originator
         "0000"              // TP-PID, TP-DCS
         "42309041503300"    // 2024-03-09 14:05:33
         "A0" +              // 160 septets
         CMxGsmCoding::EncodeUserData(MessageText(), 0);
}

void BM_FonexaEncodeSubmit(benchmark::State& state) {
  const std::string text = MessageText();
  std::string pdu;
  for (auto _ : state) {
    const int length = CMxGsmCoding::ConvertToPdu(pdu, kNumber, text, 0, 1, 1, 0);
    benchmark::DoNotOptimize(length);
    benchmark::DoNotOptimize(pdu.data());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FonexaEncodeSubmit);

void BM_FonexaDecodeDeliver(benchmark::State& state) {
  const std::string pdu = DeliverPdu();
  SmsEntry entry;
  CMxGsmCoding::ConvertFromPdu(pdu, 1, entry);
  if (entry.MessageText != MessageText()) state.SkipWithError("decoded text differs");
  for (auto _ : state) {
    const int result = CMxGsmCoding::ConvertFromPdu(pdu, static_cast<int>(pdu.size() / 2 - 1), entry);
    benchmark::DoNotOptimize(result);
    benchmark::DoNotOptimize(entry.MessageText.data());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FonexaDecodeDeliver);

#ifdef FONEXA_BENCH_GAMMU

// libgammu works on binary frames and UCS2 message structures; its timings
// leave out the hex text that ours include.
void BM_GammuEncodeSubmit(benchmark::State& state) {
  const std::string text = MessageText();
  GSM_SMSMessage sms;
  GSM_SetDefaultSMSData(&sms);
  EncodeUnicode(sms.Number, kNumber.c_str(), kNumber.size());
  EncodeUnicode(sms.Text, text.c_str(), text.size());
  sms.Length = static_cast<int>(text.size());
  sms.Coding = SMS_Coding_Default_No_Compression;
  sms.UDH.Type = UDH_NoUDH;
  sms.PDU = SMS_Submit;
  unsigned char frame[512];
  GSM_Debug_Info* debug = GSM_GetGlobalDebug();
  for (auto _ : state) {
    int length = 0;
    const GSM_Error error = GSM_EncodeSMSFrame(debug, &sms, frame, PHONE_SMSSubmit, &length, TRUE);
    if (error != ERR_NONE) {
      state.SkipWithError("GSM_EncodeSMSFrame failed");
      break;
    }
    benchmark::DoNotOptimize(length);
    benchmark::DoNotOptimize(frame);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GammuEncodeSubmit);

void BM_GammuDecodeDeliver(benchmark::State& state) {
  const std::string hex = DeliverPdu();
  unsigned char frame[512];
  DecodeHexBin(frame, reinterpret_cast<const unsigned char*>(hex.c_str()), hex.size());
  const size_t length = hex.size() / 2;
  GSM_SMSMessage sms;
  GSM_Debug_Info* debug = GSM_GetGlobalDebug();
  for (auto _ : state) {
    GSM_SetDefaultReceivedSMSData(&sms);
    const GSM_Error error = GSM_DecodePDUFrame(debug, &sms, frame, length, nullptr, TRUE);
    if (error != ERR_NONE || sms.Length != 160) {
      state.SkipWithError("GSM_DecodePDUFrame failed");
      break;
    }
    benchmark::DoNotOptimize(sms.Text);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GammuDecodeDeliver);

#endif

}  // namespace

BENCHMARK_MAIN();
