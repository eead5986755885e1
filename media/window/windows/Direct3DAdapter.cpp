#include "media/window/Direct3DAdapter.hpp"

#include "media/base/Utf16.hpp"

#include <SDL.h>
#include <SDL_syswm.h>

#include <d3d11.h>
#include <d3d9.h>
#include <dxgi.h>

#include <cwchar>

namespace {

// Releases a COM object at the end of its scope.
template <class T> struct Released {
    T* object = nullptr;
    ~Released() {
        if (object != nullptr)
            object->Release();
    }
};

std::string fromDirect3D9(SDL_Renderer* renderer) {
    Released<IDirect3DDevice9> device{SDL_RenderGetD3D9Device(renderer)};
    Released<IDirect3D9> direct3D;
    D3DADAPTER_IDENTIFIER9 identifier{};
    if (device.object == nullptr || FAILED(device.object->GetDirect3D(&direct3D.object)) ||
        FAILED(direct3D.object->GetAdapterIdentifier(D3DADAPTER_DEFAULT, 0, &identifier)))
        return {};
    return identifier.Description;
}

std::string fromDirect3D11(SDL_Renderer* renderer) {
    Released<ID3D11Device> device{SDL_RenderGetD3D11Device(renderer)};
    Released<IDXGIDevice> dxgi;
    Released<IDXGIAdapter> adapter;
    DXGI_ADAPTER_DESC description{};
    if (device.object == nullptr ||
        FAILED(device.object->QueryInterface(__uuidof(IDXGIDevice),
                                             reinterpret_cast<void**>(&dxgi.object))) ||
        FAILED(dxgi.object->GetAdapter(&adapter.object)) ||
        FAILED(adapter.object->GetDesc(&description)))
        return {};
    const wchar_t* text = description.Description;
    return Utf16::ToUtf8(std::u16string(text, text + std::wcslen(text)));
}

} // namespace

std::string Direct3DAdapter::Description(SDL_Renderer* renderer) {
    SDL_RendererInfo info{};
    if (renderer == nullptr || SDL_GetRendererInfo(renderer, &info) != 0 || info.name == nullptr)
        return {};
    const std::string name = info.name;
    if (name == "direct3d")
        return fromDirect3D9(renderer);
    if (name == "direct3d11")
        return fromDirect3D11(renderer);
    return {};
}
