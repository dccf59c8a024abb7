#pragma once
// The fifteen enumerations of attribute values and their text codecs.
// Decoding compares the whole text with each literal, ignoring case, in table
// order; encoding writes the literal exactly as tabled and leaves `out`
// untouched for a value outside the table.

#include "lum/export.h"
#include "lum/text/wstring.h"

LUM_API_BEGIN
namespace lum {

enum EConcurrency { Concurrency_Sequential, Concurrency_Guarded, Concurrency_Active, Concurrency_Synchronous };
enum EContainment { Containment_ByReference, Containment_ByValue };
enum EExportControl {
    ExportControl_NoVisibility,
    ExportControl_Private,
    ExportControl_Protected,
    ExportControl_Implementation,
    ExportControl_Public
};
enum EFrequency { Frequency_Aperiodic, Frequency_Periodic };
enum EIconStyle { IconStyle_None, IconStyle_Label, IconStyle_Decoration, IconStyle_Icon };
enum ELanguage {
    Language_none,
    Language_Ada83,
    Language_Ada95,
    Language_Analysis,
    Language_ANSI_CPP,
    Language_CPP,
    Language_COM,
    Language_CORBA,
    Language_DataModeler,
    Language_DOT,
    Language_Java,
    Language_ObjectSwitch,
    Language_Oracle8,
    Language_VCPP,
    Language_VisualBasic,
    Language_WebModeler,
    Language_XML_DTD
};
enum EMessageDir { MessageDir_FromClientToSupplier, MessageDir_ToClientFromSupplier };
enum EModulePart { ModulePart_NotAModulePart, ModulePart_Body, ModulePart_Generic, ModulePart_Main, ModulePart_Specification };
enum EModuleType { ModuleType_NotAModuleType, ModuleType_PackageType, ModuleType_SubType, ModuleType_TaskType };
enum EParameterDirection { ParameterDirection_in, ParameterDirection_out, ParameterDirection_inout };
enum EPersistence { Persistence_Transient, Persistence_Persistent, Persistence_Static };
enum EScheduling { Scheduling_Preemptive, Scheduling_NonPreemptive, Scheduling_Cyclic, Scheduling_Executive, Scheduling_Manual };
enum EStateType { StateType_Normal, StateType_StartState, StateType_EndState, StateType_History, StateType_HistoryAll };
enum ESynchronization {
    Synchronization_Simple,
    Synchronization_Synchronous,
    Synchronization_Balking,
    Synchronization_Timeout,
    Synchronization_ProcedureCall,
    Synchronization_Asynchronous,
    Synchronization_Return
};
enum EActionTimeWhen { ActionTimeWhen_Entry, ActionTimeWhen_Exit, ActionTimeWhen_UponEvent, ActionTimeWhen_Activity };

bool DecodeEConcurrency(const WString& text, EConcurrency& value);
void EncodeEConcurrency(const EConcurrency& value, WString& out);
bool DecodeEContainment(const WString& text, EContainment& value);
void EncodeEContainment(const EContainment& value, WString& out);
bool DecodeEExportControl(const WString& text, EExportControl& value);
void EncodeEExportControl(const EExportControl& value, WString& out);
bool DecodeEFrequency(const WString& text, EFrequency& value);
void EncodeEFrequency(const EFrequency& value, WString& out);
bool DecodeEIconStyle(const WString& text, EIconStyle& value);
void EncodeEIconStyle(const EIconStyle& value, WString& out);
bool DecodeELanguage(const WString& text, ELanguage& value);
void EncodeELanguage(const ELanguage& value, WString& out);
bool DecodeEMessageDir(const WString& text, EMessageDir& value);
void EncodeEMessageDir(const EMessageDir& value, WString& out);
bool DecodeEModulePart(const WString& text, EModulePart& value);
void EncodeEModulePart(const EModulePart& value, WString& out);
bool DecodeEModuleType(const WString& text, EModuleType& value);
void EncodeEModuleType(const EModuleType& value, WString& out);
bool DecodeEParameterDirection(const WString& text, EParameterDirection& value);
void EncodeEParameterDirection(const EParameterDirection& value, WString& out);
bool DecodeEPersistence(const WString& text, EPersistence& value);
void EncodeEPersistence(const EPersistence& value, WString& out);
bool DecodeEScheduling(const WString& text, EScheduling& value);
void EncodeEScheduling(const EScheduling& value, WString& out);
bool DecodeEStateType(const WString& text, EStateType& value);
void EncodeEStateType(const EStateType& value, WString& out);
bool DecodeESynchronization(const WString& text, ESynchronization& value);
void EncodeESynchronization(const ESynchronization& value, WString& out);
bool DecodeEActionTimeWhen(const WString& text, EActionTimeWhen& value);
void EncodeEActionTimeWhen(const EActionTimeWhen& value, WString& out);

}  // namespace lum
LUM_API_END
