# Fails when the library exports a symbol of the engine's internal namespace.
execute_process(COMMAND nm -D -C --defined-only ${LIBRARY} OUTPUT_VARIABLE symbols RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REGEX MATCHALL "[^\n]*fonexa::[^\n]*" internal "${symbols}")
if(internal)
  string(REPLACE ";" "\n" internal "${internal}")
  message(FATAL_ERROR "internal symbols exported:\n${internal}")
endif()
foreach(name GetFonexaCoreVersion OpenDebugLog CloseDebugLog GetEventParams CleanFormat CompareNumbers
             CreateGsmInstance ReleaseGsm Initialize Uninitialize SwitchOn SwitchOff IsModuleOn GetState Attach Detach
             GetSimId GetTime SetTime GetManufacturer GetModel GetImei RestoreFactorySettings RunDiagnostics
             SendCustomAtCommand SendCustomAtCommandEx Clear FlushComBuffers GetSimPresence GetVerifyStatus
             GetSmsStorage SetSmsStorage GetServiceCenter SetServiceCenter SendSms SendFlashSms LoadSmsEntries
             GetNextSmsEntry ReadSmsEntry WriteSmsEntry DeleteSmsEntry
             SendSmsUtf8 SendFlashSmsUtf8 SendSmsUtf8Ex GetDeliveryStatus GetNextSmsEntryUtf8 ReadSmsEntryUtf8
             LoadJoinedSmsEntries GetNextJoinedSmsEntry SetJoinTimeLimit CountSmsPartsUtf8
             GetPhoneBookStorage SetPhoneBookStorage LoadPhoneBookEntries GetNextPhoneBookEntry ReadPhoneBookEntry
             WritePhoneBookEntry DeletePhoneBookEntry GetRangeInfo
             GetSignalQuality GetRegistrationStatus EnableNetworkEvents LoadWorldWideOperatorEntries
             GetNextWorldWideOperatorEntry LoadLocalOperatorEntries GetNextLocalOperatorEntry GetCurrentOperator
             SetAutomaticOperator SetManualOperator
             GprsCreate GprsRelease GprsOpenConnection GprsOpenConnectionHwnd GprsCloseConnection
             GprsSetConnectionTones GprsGetStatus GprsGetSpeed GprsGetDuration GprsGetSentBytes GprsGetReceivedBytes
             RegisterEventHandler RegisterEventHandlerHwnd UnregisterEventHandler
             MxCreateWindow MxDestroyWindow MxSendMessage
             GetActivity Answer Dial DialFromPhoneBook InterruptDialing Hangup ManageMultiparty EnableClip EnableClir
             GetCallForwarding SetCallForwarding GetCallBarring SetCallBarring LoadCurrentCalls GetNextCurrentCall
             GetLastCallDuration GetTotalCallDuration SetupGsmAudio VoiceOn VoiceOff
             GetPinCounter GetLock SetLock Verify ChangePin AutoVerify SetCodeRetrievalFunc)
  if(NOT symbols MATCHES " T ${name}\n")
    message(FATAL_ERROR "export missing: ${name}")
  endif()
endforeach()
message(STATUS "exports as named")
