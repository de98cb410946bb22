// The computer's own volume: the default output's mute and master level. Core Audio from
// Vista on; before it, the first mixer device's speakers line. Both are found by name at run
// time, so the DLL still loads on Windows 2000. Every failure just means "no volume here".
#include <windows.h>
#include <mmsystem.h>
#include <mmdeviceapi.h>
#include <endpointvolume.h>

#include "../settings/settings.h"
#include "host_player.h"
#include "system_library.h"
#include "system_volume.h"

typedef HRESULT(WINAPI* CoInitializeExProc)(void*, DWORD);
typedef void(WINAPI* CoUninitializeProc)();
typedef HRESULT(WINAPI* CoCreateInstanceProc)(REFCLSID, IUnknown*, DWORD, REFIID, void**);
typedef MMRESULT(WINAPI* LineInfoProc)(HMIXEROBJ, MIXERLINEA*, DWORD);
typedef MMRESULT(WINAPI* LineControlsProc)(HMIXEROBJ, MIXERLINECONTROLSA*, DWORD);
typedef MMRESULT(WINAPI* ControlDetailsProc)(HMIXEROBJ, MIXERCONTROLDETAILS*, DWORD);

static HMODULE ComLibrary, MixerLibrary;
static CoInitializeExProc ComInitialize;
static CoUninitializeProc ComUninitialize;
static CoCreateInstanceProc ComCreate;
static LineInfoProc LineInfo;
static LineControlsProc LineControls;
static ControlDetailsProc GetDetails, SetDetails;

enum : int32_t { Failed = 0, Done = 1, NoCoreAudio = 2 };

static bool LoadCom() {
  if (!ComLibrary) ComLibrary = LoadSystemLibrary("\\ole32.dll");
  return ComLibrary && FindEntry(ComLibrary, "CoInitializeEx", &ComInitialize) &&
         FindEntry(ComLibrary, "CoUninitialize", &ComUninitialize) &&
         FindEntry(ComLibrary, "CoCreateInstance", &ComCreate);
}

static bool LoadMixer() {
  if (!MixerLibrary) MixerLibrary = LoadSystemLibrary("\\winmm.dll");
  return MixerLibrary && FindEntry(MixerLibrary, "mixerGetLineInfoA", &LineInfo) &&
         FindEntry(MixerLibrary, "mixerGetLineControlsA", &LineControls) &&
         FindEntry(MixerLibrary, "mixerGetControlDetailsA", &GetDetails) &&
         FindEntry(MixerLibrary, "mixerSetControlDetails", &SetDetails);
}

// What a write changes, in order: muting first and unmuting last, so the old level is
// never heard at the new one. Only what differs: a level set anew, even to what it was,
// would lose the fraction the record does not hold.
struct ChangeRecord {
  bool Mute, Level, Unmute;
};

static ChangeRecord Change(const SystemVolumeRecord& now, const SystemVolumeRecord& wanted) {
  return ChangeRecord{wanted.Muted && !now.Muted, wanted.Level != now.Level, !wanted.Muted && now.Muted};
}

// ---- Core Audio ------------------------------------------------------------------

static int32_t OnEndpoint(IAudioEndpointVolume* endpoint, SystemVolumeRecord* volume, bool write) {
  BOOL muted;
  float level;
  if (FAILED(endpoint->GetMute(&muted)) || FAILED(endpoint->GetMasterVolumeLevelScalar(&level)))
    return Failed;
  if (!(level >= 0)) level = 0;  // NaN too
  if (level > 1) level = 1;
  SystemVolumeRecord now = {muted != FALSE, static_cast<int32_t>(level * FullLevel + 0.5f)};
  if (!write) {
    *volume = now;
    return Done;
  }
  ChangeRecord change = Change(now, *volume);
  if (change.Mute) endpoint->SetMute(TRUE, NULL);
  if (change.Level) endpoint->SetMasterVolumeLevelScalar(volume->Level / float(FullLevel), NULL);
  if (change.Unmute) endpoint->SetMute(FALSE, NULL);
  return Done;
}

// The default render endpoint for the console role. COM is ours for the call only; a thread
// already in the other apartment model still works, and is not uninitialised for it.
static int32_t CoreAudio(SystemVolumeRecord* volume, bool write) {
  if (!LoadCom()) return NoCoreAudio;
  HRESULT initialised = ComInitialize(NULL, COINIT_APARTMENTTHREADED);
  if (FAILED(initialised) && initialised != RPC_E_CHANGED_MODE) return Failed;
  IMMDeviceEnumerator* devices = NULL;
  IMMDevice* device = NULL;
  IAudioEndpointVolume* endpoint = NULL;
  HRESULT created = ComCreate(__uuidof(MMDeviceEnumerator), NULL, CLSCTX_INPROC_SERVER,
                              __uuidof(IMMDeviceEnumerator), reinterpret_cast<void**>(&devices));
  int32_t result = created == REGDB_E_CLASSNOTREG ? NoCoreAudio : Failed;
  if (SUCCEEDED(created) && devices &&
      SUCCEEDED(devices->GetDefaultAudioEndpoint(eRender, eConsole, &device)) && device &&
      SUCCEEDED(device->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_INPROC_SERVER, NULL,
                                 reinterpret_cast<void**>(&endpoint))) &&
      endpoint)
    result = OnEndpoint(endpoint, volume, write);
  if (endpoint) endpoint->Release();
  if (device) device->Release();
  if (devices) devices->Release();
  if (SUCCEEDED(initialised)) ComUninitialize();
  return result;
}

// ---- the mixer -------------------------------------------------------------------

// The first mixer device, by its number: no handle to open, none to leave open.
static HMIXEROBJ const FirstMixer = NULL;

static bool FindControl(DWORD line, DWORD type, MIXERCONTROLA* control) {
  MIXERLINECONTROLSA controls = {sizeof controls, line, {type}, 1, sizeof *control, control};
  return LineControls(FirstMixer, &controls, MIXER_OBJECTF_MIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) ==
         MMSYSERR_NOERROR;
}

// One value for the whole control: all its channels alike.
static MIXERCONTROLDETAILS Details(const MIXERCONTROLA& control, DWORD* value) {
  return MIXERCONTROLDETAILS{sizeof(MIXERCONTROLDETAILS), control.dwControlID, 1, {NULL}, sizeof *value, value};
}

static bool GetValue(const MIXERCONTROLA& control, DWORD* value) {
  MIXERCONTROLDETAILS details = Details(control, value);
  return GetDetails(FirstMixer, &details, MIXER_OBJECTF_MIXER | MIXER_GETCONTROLDETAILSF_VALUE) == MMSYSERR_NOERROR;
}

static void SetValue(const MIXERCONTROLA& control, DWORD value) {
  MIXERCONTROLDETAILS details = Details(control, &value);
  SetDetails(FirstMixer, &details, MIXER_OBJECTF_MIXER | MIXER_SETCONTROLDETAILSF_VALUE);
}

// The speakers line of the first mixer device, its mute and its volume; the volume's range
// is the control's own.
static bool Mixer(SystemVolumeRecord* volume, bool write) {
  if (!LoadMixer()) return false;
  MIXERLINEA line;
  line.cbStruct = sizeof line;
  line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
  MIXERCONTROLA mute, level;
  DWORD muted, value;
  if (LineInfo(FirstMixer, &line, MIXER_OBJECTF_MIXER | MIXER_GETLINEINFOF_COMPONENTTYPE) != MMSYSERR_NOERROR ||
      !FindControl(line.dwLineID, MIXERCONTROL_CONTROLTYPE_MUTE, &mute) ||
      !FindControl(line.dwLineID, MIXERCONTROL_CONTROLTYPE_VOLUME, &level) || !GetValue(mute, &muted) ||
      !GetValue(level, &value))
    return false;
  DWORD low = level.Bounds.dwMinimum, range = level.Bounds.dwMaximum - low;
  if (range == 0 || value - low > range) return false;
  SystemVolumeRecord now = {muted != 0, static_cast<int32_t>(double(value - low) * FullLevel / range + 0.5)};
  if (!write) {
    *volume = now;
    return true;
  }
  ChangeRecord change = Change(now, *volume);
  if (change.Mute) SetValue(mute, 1);
  if (change.Level) SetValue(level, low + static_cast<DWORD>(double(range) * volume->Level / FullLevel + 0.5));
  if (change.Unmute) SetValue(mute, 0);
  return true;
}

// ---- the seam ---------------------------------------------------------------------

static bool Reach(SystemVolumeRecord* volume, bool write) {
  int32_t result = CoreAudio(volume, write);
  return result == NoCoreAudio ? Mixer(volume, write) : result == Done;
}

bool ReadSystemVolume(SystemVolumeRecord* volume) { return Reach(volume, false); }

void WriteSystemVolume(const SystemVolumeRecord& volume) {
  SystemVolumeRecord wanted = volume;
  Reach(&wanted, true);
}

void CloseSystemVolume() {
  if (ComLibrary) FreeLibrary(ComLibrary);
  if (MixerLibrary) FreeLibrary(MixerLibrary);
  ComLibrary = MixerLibrary = NULL;
}
