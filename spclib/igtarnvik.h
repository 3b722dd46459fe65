#pragma once
// The COM surface of the SPC library: class and interface identifiers, the enumerations, and the
// interface IGTarnvik with its members in their fixed slot order (the binary contract between the
// library and its callers). Properties first (get before put), then the methods, then the later
// additions.
#include <cstdint>

#include "platform/com.h"

// {134659D0-FF30-11D3-8276-00104B7530E1}
inline constexpr CLSID CLSID_GTarnvik = {0x134659D0, 0xFF30, 0x11D3, {0x82, 0x76, 0x00, 0x10, 0x4B, 0x75, 0x30, 0xE1}};
// {134659CF-FF30-11D3-8276-00104B7530E1}
inline constexpr IID IID_IGTarnvik = {0x134659CF, 0xFF30, 0x11D3, {0x82, 0x76, 0x00, 0x10, 0x4B, 0x75, 0x30, 0xE1}};
// {134659C3-FF30-11D3-8276-00104B7530E1}
inline constexpr GUID LIBID_GTarnvikLib = {0x134659C3, 0xFF30, 0x11D3, {0x82, 0x76, 0x00, 0x10, 0x4B, 0x75, 0x30, 0xE1}};
// The in-process hand-over of the raw document (not part of the type library).
inline constexpr IID IID_ICObject = {0x134659D1, 0xFF30, 0x11D3, {0x82, 0x76, 0x00, 0x10, 0x4B, 0x75, 0x30, 0xE1}};

enum spcTechType : int32_t {
    spcTechGen = 0, spcTechGC = 1, spcTechCgm = 2, spcTechHPLC = 3, spcTechFTIR = 4, spcTechNIR = 5,
    spcTechUV = 7, spcTechXry = 8, spcTechMS = 9, spcTechNMR = 10, spcTechRmn = 11, spcTechFlr = 12,
    spcTechAtm = 13, spcTechDAD = 14, spcTechThrm = 15, spcTechCD = 16, spcTechCNMR = 20, spcTechHNMR = 21,
    spcTechDNMR = 22, spcTechANMR = 23,
};
enum spcFileType : int32_t { spcFileTypeEven = 0, spcFileTypeXYY = 1, spcFileTypeXYXY = 2 };
enum spcXType : int32_t {
    spcXArb = 0, spcXWaven = 1, spcXUMetr = 2, spcXNMetr = 3, spcXSecs = 4, spcXMinuts = 5, spcXHertz = 6,
    spcXKHertz = 7, spcXMHertz = 8, spcXMUnits = 9, spcXPPM = 10, spcXDays = 11, spcXYears = 12,
    spcXRamans = 13, spcXeV = 14, spcZTextL = 15, spcXDiode = 16, spcXChanl = 17, spcXDegrs = 18,
    spcXDegrF = 19, spcXDegrC = 20, spcXDegrK = 21, spcXPoint = 22, spcXMSec = 23, spcXUSec = 24,
    spcXNSec = 25, spcXGHertz = 26, spcXCM = 27, spcXMeters = 28, spcXMMetr = 29, spcXHours = 30,
    spcXAngst = 31, spcXDblIgm = 255,
};
enum spcYPrec : int32_t { spcYPrec16BitFixed = 0, spcYPrec32BitFixed = 1, spcYPrec32BitFloat = 2 };
enum spcYType : int32_t {
    spcYArb = 0, spcYIgram = 1, spcYAbsrb = 2, spcYKMonk = 3, spcYCount = 4, spcYVolts = 5, spcYDegrs = 6,
    spcYAmps = 7, spcYMeters = 8, spcYMVolts = 9, spcYLogdr = 10, spcYPercnt = 11, spcYIntens = 12,
    spcYRelInt = 13, spcYEnergy = 14, spcYDecbl = 16, spcYAbund = 17, spcYRelAbn = 18, spcYDegrF = 19,
    spcYDegrC = 20, spcYDegrK = 21, spcYIdxRf = 22, spcYExtCf = 23, spcYReal = 24, spcYImag = 25,
    spcYCmplx = 26, spcYMgram = 27, spcYGram = 28, spcYKGram = 29, spcYSRot = 30, spcYTrans = 128,
    spcYReflec = 129, spcYValley = 130, spcYEmisn = 131,
};
enum spcZIncType : int32_t {
    spcZIncTypeNotMulti = -1, spcZIncTypeEven = 0, spcZIncTypeOrdered = 1, spcZIncTypeRandom = 2,
};
enum spcWarning : int32_t {
    spcWarningNone = 0, spcWarningNSub = -1, spcWarningWPlane = -2, spcWarningLogOff = -3,
    spcWarningLogBinS = -4, spcWarningLogDskS = -5, spcWarningCatOff = -6,
};
enum spcIntegrity : int32_t { spcIntegrityFail = 0, spcIntegrityKey = 1, spcIntegrityNull = 2 };

// The result of a file that is no valid SPC data.
inline constexpr HRESULT SPC_E_NOTVALID = static_cast<HRESULT>(0xFFFFFFFD);

class IGTarnvik : public IDispatch {
public:
    // Properties, dispids 1..45.
    virtual HRESULT get_Comment(BSTR* out) = 0;
    virtual HRESULT put_Comment(BSTR v) = 0;
    virtual HRESULT get_Date(VARIANT* out) = 0;
    virtual HRESULT put_Date(VARIANT v) = 0;
    virtual HRESULT get_TechniqueLabel(BSTR* out) = 0;
    virtual HRESULT get_TechniqueType(spcTechType* out) = 0;
    virtual HRESULT put_TechniqueType(spcTechType v) = 0;
    virtual HRESULT get_FileType(spcFileType* out) = 0;
    virtual HRESULT get_FirstPoint(double* out) = 0;
    virtual HRESULT put_FirstPoint(double v) = 0;
    virtual HRESULT get_LastPoint(double* out) = 0;
    virtual HRESULT put_LastPoint(double v) = 0;
    virtual HRESULT get_LogBinary(VARIANT* out) = 0;
    virtual HRESULT put_LogBinary(VARIANT v) = 0;
    virtual HRESULT get_LogBinarySize(int32_t* out) = 0;
    virtual HRESULT get_LogDisk(VARIANT* out) = 0;
    virtual HRESULT put_LogDisk(VARIANT v) = 0;
    virtual HRESULT get_LogDiskSize(int32_t* out) = 0;
    virtual HRESULT get_LogText(VARIANT_BOOL fixCrLf, BSTR* out) = 0;
    virtual HRESULT get_LogTextSize(int32_t* out) = 0;
    virtual HRESULT get_Method(BSTR* out) = 0;
    virtual HRESULT put_Method(BSTR v) = 0;
    virtual HRESULT get_ModificationBitmask(int32_t* out) = 0;
    virtual HRESULT put_ModificationBitmask(int32_t v) = 0;
    virtual HRESULT get_NumPoints(int32_t* out) = 0;
    virtual HRESULT get_NumScans(int32_t* out) = 0;
    virtual HRESULT put_NumScans(int32_t v) = 0;
    virtual HRESULT get_NumSubfiles(int32_t* out) = 0;
    virtual HRESULT get_PeakPoint(int32_t* out) = 0;
    virtual HRESULT put_PeakPoint(int32_t v) = 0;
    virtual HRESULT get_Resolution(BSTR* out) = 0;
    virtual HRESULT put_Resolution(BSTR v) = 0;
    virtual HRESULT get_Source(BSTR* out) = 0;
    virtual HRESULT put_Source(BSTR v) = 0;
    virtual HRESULT get_Spare(int32_t index, float* out) = 0;
    virtual HRESULT put_Spare(int32_t index, float v) = 0;
    virtual HRESULT get_SubFileIndex(int32_t* out) = 0;
    virtual HRESULT put_SubFileIndex(int32_t v) = 0;
    virtual HRESULT get_WIncrement(float* out) = 0;
    virtual HRESULT put_WIncrement(float v) = 0;
    virtual HRESULT get_WLabel(BSTR* out) = 0;
    virtual HRESULT get_WNumPlanes(int32_t* out) = 0;
    virtual HRESULT put_WNumPlanes(int32_t v) = 0;
    virtual HRESULT get_WPlaneValue(float* out) = 0;
    virtual HRESULT put_WPlaneValue(float v) = 0;
    virtual HRESULT get_WType(spcXType* out) = 0;
    virtual HRESULT put_WType(spcXType v) = 0;
    virtual HRESULT get_XCustomLabel(BSTR* out) = 0;
    virtual HRESULT put_XCustomLabel(BSTR v) = 0;
    virtual HRESULT get_XLabel(BSTR* out) = 0;
    virtual HRESULT get_XPoints(VARIANT* out) = 0;
    virtual HRESULT get_XType(spcXType* out) = 0;
    virtual HRESULT put_XType(spcXType v) = 0;
    virtual HRESULT get_YCustomLabel(BSTR* out) = 0;
    virtual HRESULT put_YCustomLabel(BSTR v) = 0;
    virtual HRESULT get_YLabel(BSTR* out) = 0;
    virtual HRESULT get_YPoints(VARIANT* out) = 0;
    virtual HRESULT get_YPrecision(spcYPrec* out) = 0;
    virtual HRESULT get_YType(spcYType* out) = 0;
    virtual HRESULT put_YType(spcYType v) = 0;
    virtual HRESULT get_ZCustomLabel(BSTR* out) = 0;
    virtual HRESULT put_ZCustomLabel(BSTR v) = 0;
    virtual HRESULT get_ZEnd(float* out) = 0;
    virtual HRESULT put_ZEnd(float v) = 0;
    virtual HRESULT get_ZIncrement(float* out) = 0;
    virtual HRESULT put_ZIncrement(float v) = 0;
    virtual HRESULT get_ZIncrementType(spcZIncType* out) = 0;
    virtual HRESULT put_ZIncrementType(spcZIncType v) = 0;
    virtual HRESULT get_ZIncrementTypeDefault(spcZIncType* out) = 0;
    virtual HRESULT put_ZIncrementTypeDefault(spcZIncType v) = 0;
    virtual HRESULT get_ZLabel(BSTR* out) = 0;
    virtual HRESULT get_ZStart(float* out) = 0;
    virtual HRESULT put_ZStart(float v) = 0;
    virtual HRESULT get_ZType(spcXType* out) = 0;
    virtual HRESULT put_ZType(spcXType v) = 0;
    // Methods, dispids 101..124.
    virtual HRESULT AddPoints(VARIANT yVals, VARIANT xVals) = 0;
    virtual HRESULT AddSubFile(VARIANT yVals, VARIANT xVals, float zStart, float zEnd) = 0;
    virtual HRESULT AppendLogKey(BSTR key, BSTR value) = 0;
    virtual HRESULT AppendLogLine(BSTR lineText) = 0;
    virtual HRESULT CreateSpc(spcFileType fileType) = 0;
    virtual HRESULT DetermineTechnique(BSTR* techLabel, spcTechType* techId) = 0;
    virtual HRESULT GetLogKey(BSTR keyName, BSTR* keyValue) = 0;
    virtual HRESULT GetLogLine(int32_t lineNum, BSTR* lineText, int32_t* lineLen) = 0;
    virtual HRESULT OpenBlob(VARIANT spcBlob) = 0;
    virtual HRESULT OpenFile(BSTR spcFile) = 0;
    virtual HRESULT SaveBlob(int32_t subFileIndex, VARIANT* spcBlob) = 0;
    virtual HRESULT SaveFile(BSTR spcFile, int32_t subFileIndex) = 0;
    virtual HRESULT GetTechniqueTypeString(spcTechType techType, VARIANT_BOOL shortName, BSTR* out) = 0;
    virtual HRESULT GetXTypeString(spcXType xType, BSTR* out) = 0;
    virtual HRESULT GetYTypeString(spcYType yType, BSTR* out) = 0;
    virtual HRESULT GetWarningCount(int16_t* out) = 0;
    virtual HRESULT GetWarningCode(int16_t index, spcWarning* out) = 0;
    virtual HRESULT GetWarningString(spcWarning code, BSTR* out) = 0;
    virtual HRESULT GetYMinMax(double beginX, double endX, float* minY, float* maxY) = 0;
    virtual HRESULT OpenFromClipboard() = 0;
    virtual HRESULT SaveToClipboard(int32_t subFileIndex, VARIANT_BOOL append) = 0;
    virtual HRESULT OpenBlobWithCheck(VARIANT spcBlob, spcIntegrity* out) = 0;
    virtual HRESULT OpenFileWithCheck(BSTR spcFile, spcIntegrity* out) = 0;
    virtual HRESULT OpenFromClipboardWithCheck(spcIntegrity* out) = 0;
    // Later additions, dispids 125..128.
    virtual HRESULT get_IntegrityKey(VARIANT* out) = 0;
    virtual HRESULT put_IntegrityKey(VARIANT v) = 0;
    virtual HRESULT get_SpcVersion(BSTR* out) = 0;
    virtual HRESULT get_LogBinaryFloats(VARIANT* out) = 0;
    virtual HRESULT put_LogBinaryFloats(VARIANT v) = 0;
    virtual HRESULT get_CheckMajorRevisionNumber(VARIANT_BOOL* out) = 0;

protected:
    ~IGTarnvik() = default;
};

class ICObject : public IUnknown {
public:
    virtual HRESULT GetCObject(uint32_t version, int32_t processId, int32_t threadId, void** out) = 0;

protected:
    ~ICObject() = default;
};
