#pragma once
// The class behind IGTarnvik: one SPC document per object.
#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "spclib/igtarnvik.h"
#include "spclib/spc_document.h"

namespace spc {

// Objects alive (DllCanUnloadNow).
extern std::atomic<int32_t> gLiveObjects;

class GTarnvik final : public IGTarnvik, public ISupportErrorInfo, public ICObject {
public:
    GTarnvik();
    GTarnvik(const GTarnvik&) = delete;
    GTarnvik& operator=(const GTarnvik&) = delete;

    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT GetTypeInfoCount(uint32_t* count) override;
    HRESULT GetTypeInfo(uint32_t index, uint32_t lcid, void** info) override;
    HRESULT GetIDsOfNames(REFIID riid, char16_t** names, uint32_t count, uint32_t lcid, int32_t* ids) override;
    HRESULT Invoke(int32_t id, REFIID riid, uint32_t lcid, uint16_t flags, void* params, void* result,
                   void* excepInfo, uint32_t* argErr) override;
    HRESULT InterfaceSupportsErrorInfo(REFIID riid) override;
    HRESULT GetCObject(uint32_t version, int32_t processId, int32_t threadId, void** out) override;

    HRESULT get_Comment(BSTR* out) override;
    HRESULT put_Comment(BSTR v) override;
    HRESULT get_Date(VARIANT* out) override;
    HRESULT put_Date(VARIANT v) override;
    HRESULT get_TechniqueLabel(BSTR* out) override;
    HRESULT get_TechniqueType(spcTechType* out) override;
    HRESULT put_TechniqueType(spcTechType v) override;
    HRESULT get_FileType(spcFileType* out) override;
    HRESULT get_FirstPoint(double* out) override;
    HRESULT put_FirstPoint(double v) override;
    HRESULT get_LastPoint(double* out) override;
    HRESULT put_LastPoint(double v) override;
    HRESULT get_LogBinary(VARIANT* out) override;
    HRESULT put_LogBinary(VARIANT v) override;
    HRESULT get_LogBinarySize(int32_t* out) override;
    HRESULT get_LogDisk(VARIANT* out) override;
    HRESULT put_LogDisk(VARIANT v) override;
    HRESULT get_LogDiskSize(int32_t* out) override;
    HRESULT get_LogText(VARIANT_BOOL fixCrLf, BSTR* out) override;
    HRESULT get_LogTextSize(int32_t* out) override;
    HRESULT get_Method(BSTR* out) override;
    HRESULT put_Method(BSTR v) override;
    HRESULT get_ModificationBitmask(int32_t* out) override;
    HRESULT put_ModificationBitmask(int32_t v) override;
    HRESULT get_NumPoints(int32_t* out) override;
    HRESULT get_NumScans(int32_t* out) override;
    HRESULT put_NumScans(int32_t v) override;
    HRESULT get_NumSubfiles(int32_t* out) override;
    HRESULT get_PeakPoint(int32_t* out) override;
    HRESULT put_PeakPoint(int32_t v) override;
    HRESULT get_Resolution(BSTR* out) override;
    HRESULT put_Resolution(BSTR v) override;
    HRESULT get_Source(BSTR* out) override;
    HRESULT put_Source(BSTR v) override;
    HRESULT get_Spare(int32_t index, float* out) override;
    HRESULT put_Spare(int32_t index, float v) override;
    HRESULT get_SubFileIndex(int32_t* out) override;
    HRESULT put_SubFileIndex(int32_t v) override;
    HRESULT get_WIncrement(float* out) override;
    HRESULT put_WIncrement(float v) override;
    HRESULT get_WLabel(BSTR* out) override;
    HRESULT get_WNumPlanes(int32_t* out) override;
    HRESULT put_WNumPlanes(int32_t v) override;
    HRESULT get_WPlaneValue(float* out) override;
    HRESULT put_WPlaneValue(float v) override;
    HRESULT get_WType(spcXType* out) override;
    HRESULT put_WType(spcXType v) override;
    HRESULT get_XCustomLabel(BSTR* out) override;
    HRESULT put_XCustomLabel(BSTR v) override;
    HRESULT get_XLabel(BSTR* out) override;
    HRESULT get_XPoints(VARIANT* out) override;
    HRESULT get_XType(spcXType* out) override;
    HRESULT put_XType(spcXType v) override;
    HRESULT get_YCustomLabel(BSTR* out) override;
    HRESULT put_YCustomLabel(BSTR v) override;
    HRESULT get_YLabel(BSTR* out) override;
    HRESULT get_YPoints(VARIANT* out) override;
    HRESULT get_YPrecision(spcYPrec* out) override;
    HRESULT get_YType(spcYType* out) override;
    HRESULT put_YType(spcYType v) override;
    HRESULT get_ZCustomLabel(BSTR* out) override;
    HRESULT put_ZCustomLabel(BSTR v) override;
    HRESULT get_ZEnd(float* out) override;
    HRESULT put_ZEnd(float v) override;
    HRESULT get_ZIncrement(float* out) override;
    HRESULT put_ZIncrement(float v) override;
    HRESULT get_ZIncrementType(spcZIncType* out) override;
    HRESULT put_ZIncrementType(spcZIncType v) override;
    HRESULT get_ZIncrementTypeDefault(spcZIncType* out) override;
    HRESULT put_ZIncrementTypeDefault(spcZIncType v) override;
    HRESULT get_ZLabel(BSTR* out) override;
    HRESULT get_ZStart(float* out) override;
    HRESULT put_ZStart(float v) override;
    HRESULT get_ZType(spcXType* out) override;
    HRESULT put_ZType(spcXType v) override;
    HRESULT AddPoints(VARIANT yVals, VARIANT xVals) override;
    HRESULT AddSubFile(VARIANT yVals, VARIANT xVals, float zStart, float zEnd) override;
    HRESULT AppendLogKey(BSTR key, BSTR value) override;
    HRESULT AppendLogLine(BSTR lineText) override;
    HRESULT CreateSpc(spcFileType fileType) override;
    HRESULT DetermineTechnique(BSTR* techLabel, spcTechType* techId) override;
    HRESULT GetLogKey(BSTR keyName, BSTR* keyValue) override;
    HRESULT GetLogLine(int32_t lineNum, BSTR* lineText, int32_t* lineLen) override;
    HRESULT OpenBlob(VARIANT spcBlob) override;
    HRESULT OpenFile(BSTR spcFile) override;
    HRESULT SaveBlob(int32_t subFileIndex, VARIANT* spcBlob) override;
    HRESULT SaveFile(BSTR spcFile, int32_t subFileIndex) override;
    HRESULT GetTechniqueTypeString(spcTechType techType, VARIANT_BOOL shortName, BSTR* out) override;
    HRESULT GetXTypeString(spcXType xType, BSTR* out) override;
    HRESULT GetYTypeString(spcYType yType, BSTR* out) override;
    HRESULT GetWarningCount(int16_t* out) override;
    HRESULT GetWarningCode(int16_t index, spcWarning* out) override;
    HRESULT GetWarningString(spcWarning code, BSTR* out) override;
    HRESULT GetYMinMax(double beginX, double endX, float* minY, float* maxY) override;
    HRESULT OpenFromClipboard() override;
    HRESULT SaveToClipboard(int32_t subFileIndex, VARIANT_BOOL append) override;
    HRESULT OpenBlobWithCheck(VARIANT spcBlob, spcIntegrity* out) override;
    HRESULT OpenFileWithCheck(BSTR spcFile, spcIntegrity* out) override;
    HRESULT OpenFromClipboardWithCheck(spcIntegrity* out) override;
    HRESULT get_IntegrityKey(VARIANT* out) override;
    HRESULT put_IntegrityKey(VARIANT v) override;
    HRESULT get_SpcVersion(BSTR* out) override;
    HRESULT get_LogBinaryFloats(VARIANT* out) override;
    HRESULT put_LogBinaryFloats(VARIANT v) override;
    HRESULT get_CheckMajorRevisionNumber(VARIANT_BOOL* out) override;

private:
    ~GTarnvik();
    HRESULT getText(BSTR* out, const std::string& bytes);
    HRESULT getPoints(VARIANT* out, bool xs);
    HRESULT addResult(bool stored);
    HRESULT afterOpen(spcIntegrity* out);
    HRESULT openImage(const std::vector<uint8_t>& bytes, spcIntegrity* out);

    std::atomic<ULONG> refs_{1};
    TARNVIK doc_;
    std::optional<std::string> lastFile_;  // the default target of SaveFile
    uint32_t clipFormat_;
};

}  // namespace spc
