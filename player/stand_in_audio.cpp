#include "stand_in_audio.h"

#include <mmsystem.h>
#include <mmdeviceapi.h>
#include <endpointvolume.h>
#include <shlwapi.h>
#include <stdio.h>

StandInAudio Audio;
HMODULE const StandInOle32 = reinterpret_cast<HMODULE>(0x7e590000);

static void Fault(const std::string& what) { Audio.faults.push_back(what); }

std::string AudioState() {
  char text[40];
  snprintf(text, sizeof text, "%s at %d%%", Audio.muted ? "muted" : "unmuted",
           static_cast<int>(Audio.level * 100 + 0.5f));
  return text;
}

static void Changed(const std::string& before) {
  if (Audio.changed && before != AudioState()) Audio.changed(before + " -> " + AudioState());
}

// ---- Core Audio's objects ---------------------------------------------------------

template <class Interface>
struct StandIn : Interface {
  ULONG count = 0;
  ULONG STDMETHODCALLTYPE AddRef() override {
    ++Audio.references;
    return ++count;
  }
  ULONG STDMETHODCALLTYPE Release() override {
    if (count == 0) {
      Fault("Release of a released object");
      return 0;
    }
    --Audio.references;
    return --count;
  }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = NULL;
    if (!IsEqualIID(iid, __uuidof(IUnknown)) && !IsEqualIID(iid, __uuidof(Interface))) return E_NOINTERFACE;
    AddRef();
    *out = this;
    return S_OK;
  }
};

// A session: from Activate to the last Release, shown as one change.
struct Endpoint : StandIn<IAudioEndpointVolume> {
  std::string before;
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = StandIn::Release();
    if (left == 0) Changed(before);
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetMute(BOOL* muted) override {
    *muted = Audio.muted;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetMute(BOOL muted, LPCGUID) override {
    Audio.muted = muted != FALSE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetMasterVolumeLevelScalar(float* level) override {
    *level = Audio.level;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetMasterVolumeLevelScalar(float level, LPCGUID) override {
    if (level < 0 || level > 1) return E_INVALIDARG;
    Audio.level = level;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE RegisterControlChangeNotify(IAudioEndpointVolumeCallback*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE UnregisterControlChangeNotify(IAudioEndpointVolumeCallback*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetChannelCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetMasterVolumeLevel(float, LPCGUID) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMasterVolumeLevel(float*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetChannelVolumeLevel(UINT, float, LPCGUID) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetChannelVolumeLevelScalar(UINT, float, LPCGUID) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetChannelVolumeLevel(UINT, float*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetChannelVolumeLevelScalar(UINT, float*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetVolumeStepInfo(UINT*, UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE VolumeStepUp(LPCGUID) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE VolumeStepDown(LPCGUID) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryHardwareSupport(DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetVolumeRange(float*, float*, float*) override { return E_NOTIMPL; }
};
static Endpoint TheEndpoint;

struct Device : StandIn<IMMDevice> {
  HRESULT STDMETHODCALLTYPE Activate(REFIID iid, DWORD, PROPVARIANT*, void** out) override {
    *out = NULL;
    if (!IsEqualIID(iid, __uuidof(IAudioEndpointVolume))) return E_NOINTERFACE;
    if (TheEndpoint.count == 0) TheEndpoint.before = AudioState();
    TheEndpoint.AddRef();
    *out = static_cast<IAudioEndpointVolume*>(&TheEndpoint);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OpenPropertyStore(DWORD, IPropertyStore**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetId(LPWSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetState(DWORD*) override { return E_NOTIMPL; }
};
static Device TheDevice;

struct Enumerator : StandIn<IMMDeviceEnumerator> {
  HRESULT STDMETHODCALLTYPE GetDefaultAudioEndpoint(EDataFlow flow, ERole role, IMMDevice** out) override {
    *out = NULL;
    if (flow != eRender || role != eConsole) Fault("GetDefaultAudioEndpoint of another output");
    if (!Audio.device) return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
    TheDevice.AddRef();
    *out = &TheDevice;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE EnumAudioEndpoints(EDataFlow, DWORD, IMMDeviceCollection**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetDevice(LPCWSTR, IMMDevice**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE RegisterEndpointNotificationCallback(IMMNotificationClient*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE UnregisterEndpointNotificationCallback(IMMNotificationClient*) override { return E_NOTIMPL; }
};
static Enumerator TheEnumerator;

// ---- ole32 -------------------------------------------------------------------------

static HRESULT WINAPI StandInCoInitializeEx(void*, DWORD) {
  ++Audio.comCalls;
  if (SUCCEEDED(Audio.comAnswer)) ++Audio.comDepth;
  return Audio.comAnswer;
}

static void WINAPI StandInCoUninitialize() {
  if (Audio.comDepth == 0) Fault("CoUninitialize unbalanced");
  else --Audio.comDepth;
}

// A thread in the other apartment model has COM all the same.
static HRESULT WINAPI StandInCoCreateInstance(REFCLSID clsid, IUnknown*, DWORD, REFIID iid, void** out) {
  *out = NULL;
  if (Audio.comDepth == 0 && Audio.comAnswer != RPC_E_CHANGED_MODE) {
    Fault("CoCreateInstance without COM");
    return CO_E_NOTINITIALIZED;
  }
  if (!IsEqualCLSID(clsid, __uuidof(MMDeviceEnumerator)) || !Audio.coreAudio) return REGDB_E_CLASSNOTREG;
  return TheEnumerator.QueryInterface(iid, out);
}

bool IsComLibrary(const char* name) { return name && lstrcmpiA(PathFindFileNameA(name), "ole32.dll") == 0; }

// ---- the mixer -------------------------------------------------------------------

enum : DWORD { SpeakersLine = 0xFFFF0000, MuteControl = 1, VolumeControl = 2 };

static DWORD MixerValue() { return static_cast<DWORD>(Audio.level * Audio.mixerMost + 0.5f); }

// The first device by its number, asked for the speakers line.
static MMRESULT WINAPI StandInLineInfo(HMIXEROBJ mixer, MIXERLINEA* line, DWORD flags) {
  if (mixer != NULL || flags != (MIXER_OBJECTF_MIXER | MIXER_GETLINEINFOF_COMPONENTTYPE) ||
      line->cbStruct != sizeof *line || line->dwComponentType != MIXERLINE_COMPONENTTYPE_DST_SPEAKERS) {
    Fault("mixerGetLineInfoA of another line");
    return MMSYSERR_INVALPARAM;
  }
  if (!Audio.device) return MMSYSERR_BADDEVICEID;
  line->dwLineID = SpeakersLine;
  return MMSYSERR_NOERROR;
}

static MMRESULT WINAPI StandInLineControls(HMIXEROBJ mixer, MIXERLINECONTROLSA* controls, DWORD flags) {
  if (mixer != NULL || flags != (MIXER_OBJECTF_MIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) ||
      controls->dwLineID != SpeakersLine || controls->cControls != 1 ||
      controls->cbmxctrl != sizeof(MIXERCONTROLA)) {
    Fault("mixerGetLineControlsA out of turn");
    return MMSYSERR_INVALPARAM;
  }
  MIXERCONTROLA* control = controls->pamxctrl;
  DWORD type = controls->dwControlType;
  if (type != MIXERCONTROL_CONTROLTYPE_MUTE && type != MIXERCONTROL_CONTROLTYPE_VOLUME) return MIXERR_INVALCONTROL;
  control->dwControlID = type == MIXERCONTROL_CONTROLTYPE_MUTE ? MuteControl : VolumeControl;
  control->dwControlType = type;
  control->Bounds.dwMinimum = 0;
  control->Bounds.dwMaximum = type == MIXERCONTROL_CONTROLTYPE_MUTE ? 1 : Audio.mixerMost;
  return MMSYSERR_NOERROR;
}

static bool Uniform(HMIXEROBJ mixer, const MIXERCONTROLDETAILS* details) {
  bool ok = mixer == NULL && details->cbStruct == sizeof *details && details->cChannels == 1 &&
            details->cMultipleItems == 0 && details->cbDetails == sizeof(DWORD) &&
            (details->dwControlID == MuteControl || details->dwControlID == VolumeControl);
  if (!ok) Fault("mixer control details out of turn");
  return ok;
}

static MMRESULT WINAPI StandInGetDetails(HMIXEROBJ mixer, MIXERCONTROLDETAILS* details, DWORD flags) {
  if (!Uniform(mixer, details) || flags != (MIXER_OBJECTF_MIXER | MIXER_GETCONTROLDETAILSF_VALUE))
    return MMSYSERR_INVALPARAM;
  *static_cast<DWORD*>(details->paDetails) = details->dwControlID == MuteControl ? Audio.muted : MixerValue();
  return MMSYSERR_NOERROR;
}

static MMRESULT WINAPI StandInSetDetails(HMIXEROBJ mixer, MIXERCONTROLDETAILS* details, DWORD flags) {
  if (!Uniform(mixer, details) || flags != (MIXER_OBJECTF_MIXER | MIXER_SETCONTROLDETAILSF_VALUE))
    return MMSYSERR_INVALPARAM;
  DWORD value = *static_cast<DWORD*>(details->paDetails);
  std::string before = AudioState();
  if (details->dwControlID == MuteControl) Audio.muted = value != 0;
  else if (value <= Audio.mixerMost) Audio.level = static_cast<float>(value) / Audio.mixerMost;
  else return MMSYSERR_INVALPARAM;
  Changed(before);
  return MMSYSERR_NOERROR;
}

// ---- entries -------------------------------------------------------------------------

template <class Proc>
static FARPROC Entry(Proc proc) {
  return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(proc));
}

FARPROC StandInComEntry(const char* name) {
  if (!HIWORD(name)) return NULL;
  if (lstrcmpA(name, "CoInitializeEx") == 0) return Entry(StandInCoInitializeEx);
  if (lstrcmpA(name, "CoUninitialize") == 0) return Entry(StandInCoUninitialize);
  if (lstrcmpA(name, "CoCreateInstance") == 0) return Entry(StandInCoCreateInstance);
  return NULL;
}

FARPROC StandInMixerEntry(const char* name) {
  if (!HIWORD(name)) return NULL;
  if (lstrcmpA(name, "mixerGetLineInfoA") == 0) return Entry(StandInLineInfo);
  if (lstrcmpA(name, "mixerGetLineControlsA") == 0) return Entry(StandInLineControls);
  if (lstrcmpA(name, "mixerGetControlDetailsA") == 0) return Entry(StandInGetDetails);
  if (lstrcmpA(name, "mixerSetControlDetails") == 0) return Entry(StandInSetDetails);
  return NULL;
}

bool ReachesRealAudio(const char* name) {
  return HIWORD(name) && (StandInComEntry(name) || StandInMixerEntry(name) ||
                          lstrcmpA(name, "CoCreateInstanceEx") == 0 || lstrcmpA(name, "CoGetClassObject") == 0 ||
                          lstrcmpA(name, "mixerOpen") == 0);
}
