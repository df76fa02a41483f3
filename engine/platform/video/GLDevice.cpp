#include "engine/platform/video/GLDevice.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "engine/core/ErrorManager.h"
#include "engine/core/Format.h"

namespace {

// The vertex shader; with slots it hands the vertex's slot on to the fragment shader.
std::string vertexShaderSource(bool slots)
{
    return std::string("#version 330 core\n") +
           "layout(location = 0) in vec3 aPosition;\n"
           "layout(location = 1) in vec4 aColor;\n"
           "layout(location = 2) in vec2 aTexCoord;\n" +
           (slots ? "layout(location = 3) in uint aSlot;\nflat out uint vSlot;\n" : "") +
           "uniform mat4 uViewProjection;\n"
           "out vec4 vColor;\n"
           "out vec2 vTexCoord;\n"
           "void main()\n"
           "{\n"
           "    vec4 p = uViewProjection * vec4(aPosition, 1.0);\n"
           "    // The projection maps depth to 0..1; GL clips to -1..1.\n"
           "    p.z = 2.0 * p.z - p.w;\n"
           "    gl_Position = p;\n"
           "    vColor = aColor.bgra;\n"
           "    vTexCoord = aTexCoord;\n" +
           (slots ? "    vSlot = aSlot;\n" : "") + "}\n";
}

// GLSL that sets texel from the texture of the vertex's slot among the slots [from, to), halving the range
// at each test.
std::string pickSlot(int from, int to)
{
    if (to - from == 1) {
        return "texel = texture(uTextures[" + std::to_string(from) + "], vTexCoord);\n";
    }
    const int middle = (from + to) / 2;
    return "if (vSlot < " + std::to_string(middle) + "u) {\n" + pickSlot(from, middle) + "} else {\n" +
           pickSlot(middle, to) + "}\n";
}

// The fragment shader of a program of `slots` textures: vertex colour times the texel of the vertex's slot.
// Picked by tests, the slot costs a software rasterizer a texture sample per slot for every fragment (it
// runs every branch), so each program tests no more slots than its calls have; with one slot there is no
// test. Picked by index, it costs one sample; see `GLDevice::canIndexSlots`.
std::string fragmentShader(int slots, bool byIndex)
{
    const bool index = byIndex && slots > 1;
    return std::string("#version 330 core\n") + (index ? "#extension GL_ARB_gpu_shader5 : require\n" : "") +
           "in vec4 vColor;\n"
           "in vec2 vTexCoord;\n" +
           (slots > 1 ? "flat in uint vSlot;\n" : "") +
           "uniform sampler2D uTextures[" + std::to_string(slots) + "];\n"
           "out vec4 fragColor;\n"
           "void main()\n"
           "{\n"
           "vec4 texel;\n" +
           (index ? std::string("texel = texture(uTextures[vSlot], vTexCoord);\n") : pickSlot(0, slots)) +
           "fragColor = vColor * texel;\n"
           "}\n";
}

unsigned compileShader(GLenum type, const char* source)
{
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[1024] = {};
        glGetShaderInfoLog(shader, sizeof(log) - 1, nullptr, log);
        KIV_FATAL(formatString(u"Shader compilation failed: %s", log));
    }
    return shader;
}

void transformInto(Vertex& out, const Vertex& in, const float* m)
{
    out = in;
    if (m != nullptr) {
        out.x = in.x * m[0] + in.y * m[4] + in.z * m[8] + m[12];
        out.y = in.x * m[1] + in.y * m[5] + in.z * m[9] + m[13];
        out.z = in.x * m[2] + in.y * m[6] + in.z * m[10] + m[14];
        const float w = in.x * m[3] + in.y * m[7] + in.z * m[11] + m[15];
        if (w != 1.0f && w != 0.0f) {
            out.x /= w;
            out.y /= w;
            out.z /= w;
        }
    }
}

} // namespace

GLDevice::GLDevice(SDL_Window* window) : sdlWindow(window)
{
    KIV_ASSERT(window != nullptr);
    context = SDL_GL_CreateContext(window);
    if (context == nullptr) {
        KIV_FATAL(formatString(u"Could not create an OpenGL 3.3 context: %s", SDL_GetError()));
    }
    SDL_GL_MakeCurrent(window, static_cast<SDL_GLContext>(context));
    if (epoxy_gl_version() < 33) {
        KIV_FATAL(formatString(u"OpenGL 3.3 is required; the driver offers %d.%d.", epoxy_gl_version() / 10,
                               epoxy_gl_version() % 10));
    }
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
    // Mesa's software rasterizers shade the fragments of one primitive at a time, so a slot that is constant
    // over a primitive is the same for every fragment shaded together: it may index the textures.
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const std::string rendererName = renderer != nullptr ? renderer : "";
    bCanIndexSlots = (rendererName.rfind("llvmpipe", 0) == 0 || rendererName.rfind("softpipe", 0) == 0) &&
                     epoxy_has_gl_extension("GL_ARB_gpu_shader5");
    bIndexSlots = bCanIndexSlots;

    for (int slots : {0, 1}) {
        vertexShaders[slots] = compileShader(GL_VERTEX_SHADER, vertexShaderSource(slots != 0).c_str());
    }
    for (int& sampler : boundSamplers) {
        sampler = -1;
    }
    useProgram(1);

    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glGenBuffers(1, &vbo);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glGenBuffers(1, &ibo);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ibo); // part of the vertex array's state
    const GLsizei stride = sizeof(SlotVertex);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(Vertex, x)));
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride, reinterpret_cast<void*>(offsetof(Vertex, color)));
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(Vertex, u)));
    glEnableVertexAttribArray(3);
    glVertexAttribIPointer(3, 1, GL_UNSIGNED_INT, stride, reinterpret_cast<void*>(offsetof(SlotVertex, slot)));

    // Samplers: index = bilinear * 2 + wrap.
    glGenSamplers(4, samplers);
    for (int i = 0; i < 4; ++i) {
        const GLint filter = (i & 2) ? GL_LINEAR : GL_NEAREST;
        const GLint address = (i & 1) ? GL_REPEAT : GL_CLAMP_TO_EDGE;
        glSamplerParameteri(samplers[i], GL_TEXTURE_MIN_FILTER, filter);
        glSamplerParameteri(samplers[i], GL_TEXTURE_MAG_FILTER, filter);
        glSamplerParameteri(samplers[i], GL_TEXTURE_WRAP_S, address);
        glSamplerParameteri(samplers[i], GL_TEXTURE_WRAP_T, address);
    }
    const std::uint32_t white = 0xFFFFFFFFu;
    whiteTexture = createTexture(1, 1, &white);

    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    const auto [w, h] = drawableSize();
    setViewport(0, 0, w, h);
    static const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    std::memcpy(viewProjection, identity, sizeof(viewProjection));
}

GLDevice::~GLDevice()
{
    if (context == nullptr) {
        return;
    }
    SDL_GL_MakeCurrent(sdlWindow, static_cast<SDL_GLContext>(context));
    for (void* fence : frameFences) {
        if (fence != nullptr) {
            glDeleteSync(static_cast<GLsync>(fence));
        }
    }
    glDeleteTextures(1, &whiteTexture);
    glDeleteSamplers(4, samplers);
    glDeleteBuffers(1, &vbo);
    glDeleteBuffers(1, &ibo);
    glDeleteVertexArrays(1, &vao);
    for (unsigned program : programs) {
        glDeleteProgram(program);
    }
    for (unsigned shader : vertexShaders) {
        glDeleteShader(shader);
    }
    SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context));
}

void GLDevice::makeCurrent() { SDL_GL_MakeCurrent(sdlWindow, static_cast<SDL_GLContext>(context)); }

std::pair<int, int> GLDevice::drawableSize() const
{
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(sdlWindow, &w, &h);
    return {w, h};
}

std::vector<std::pair<int, int>> GLDevice::displayModes() const
{
    std::vector<std::pair<int, int>> modes;
    int display = SDL_GetWindowDisplayIndex(sdlWindow);
    if (display < 0) {
        display = 0;
    }
    const int count = SDL_GetNumDisplayModes(display);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(display, i, &mode) == 0 && mode.w > 0 && mode.h > 0) {
            modes.emplace_back(mode.w, mode.h);
        }
    }
    return modes;
}

bool GLDevice::setWindowMode(bool fullScreen, int width, int height)
{
    flush();
    if (fullScreen) {
        return SDL_SetWindowFullscreen(sdlWindow, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0;
    }
    if (SDL_SetWindowFullscreen(sdlWindow, 0) != 0) {
        return false;
    }
    if (width > 0 && height > 0) {
        SDL_SetWindowSize(sdlWindow, width, height);
    }
    return true;
}

void GLDevice::setVSync(bool enabled) { SDL_GL_SetSwapInterval(enabled ? 1 : 0); }

TextureHandle GLDevice::createTexture(int width, int height, const std::uint32_t* pixels)
{
    KIV_ASSERT(width > 0 && height > 0);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    bindForUpload(texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, pixels);
    ++createdTextures;
    return texture;
}

void GLDevice::updateTexture(TextureHandle texture, int width, int height, const std::uint32_t* pixels)
{
    flush(); // queued draws see the old contents
    bindForUpload(texture);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, pixels);
}

void GLDevice::updateTextureRect(TextureHandle texture, int x, int y, int w, int h, const std::uint32_t* pixels)
{
    // No flush: sending the queued draws here would make a texture the frame already drew with one that
    // the driver has to finish drawing before it may change.
    bindForUpload(texture);
    glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, w, h, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, pixels);
}

void GLDevice::destroyTexture(TextureHandle texture)
{
    if (texture == 0) {
        return;
    }
    flush();
    GLuint name = texture;
    glDeleteTextures(1, &name);
    // Deleting unbinds it from every unit.
    for (unsigned& bound : boundTextures) {
        if (bound == texture) {
            bound = 0;
        }
    }
}

void GLDevice::bindForUpload(unsigned texture)
{
    if (activeUnit != 0) {
        glActiveTexture(GL_TEXTURE0);
        activeUnit = 0;
    }
    if (boundTextures[0] != texture) {
        glBindTexture(GL_TEXTURE_2D, texture);
        boundTextures[0] = texture;
    }
}

void GLDevice::setViewport(int left, int top, int width, int height)
{
    if (viewport[0] == left && viewport[1] == top && viewport[2] == width && viewport[3] == height) {
        return;
    }
    flush();
    viewport[0] = left;
    viewport[1] = top;
    viewport[2] = width;
    viewport[3] = height;
    const int windowHeight = drawableSize().second;
    glViewport(left, windowHeight - top - height, width, height);
}

void GLDevice::setViewProjection(const float* matrix16)
{
    if (std::memcmp(matrix16, viewProjection, sizeof(viewProjection)) == 0) {
        return;
    }
    std::memcpy(viewProjection, matrix16, sizeof(viewProjection));
    bViewProjectionChanged = true;
}

void GLDevice::draw(const Vertex* vertices, int count, Primitive primitive, const float* world16, const DrawState& state)
{
    if (count <= 0) {
        return;
    }
    Batch kind = Batch::Triangles;
    switch (primitive) {
    case Primitive::PointList: kind = Batch::Points; break;
    case Primitive::LineList:
    case Primitive::LineStrip: kind = Batch::Lines; break;
    default: break;
    }
    if (commands.empty() || bViewProjectionChanged || kind != commands.back().kind || !(state == commands.back().state)) {
        if (bViewProjectionChanged || matrices.empty()) {
            matrices.insert(matrices.end(), viewProjection, viewProjection + 16);
            bViewProjectionChanged = false;
        }
        Command command;
        command.state = state;
        command.kind = kind;
        command.matrix = static_cast<std::uint32_t>(matrices.size() / 16 - 1);
        command.firstIndex = static_cast<std::uint32_t>(queuedIndices.size());
        command.firstVertex = static_cast<std::uint32_t>(queued.size());
        commands.push_back(command);
    }
    const std::size_t indicesBefore = queuedIndices.size();

    // The vertices go in once, transformed (in slot 0 until the call is planned); the primitive becomes a
    // list of indices.
    const std::uint32_t base = static_cast<std::uint32_t>(queued.size());
    queued.resize(queued.size() + static_cast<std::size_t>(count));
    SlotVertex* out = queued.data() + base;
    const float* m = world16;
    if (m == nullptr) {
        for (int i = 0; i < count; ++i) {
            out[i] = {vertices[i], 0};
        }
    } else if (m[3] == 0.0f && m[7] == 0.0f && m[11] == 0.0f && m[15] == 1.0f) {
        for (int i = 0; i < count; ++i) {
            const Vertex& in = vertices[i];
            out[i] = {in, 0};
            out[i].vertex.x = in.x * m[0] + in.y * m[4] + in.z * m[8] + m[12];
            out[i].vertex.y = in.x * m[1] + in.y * m[5] + in.z * m[9] + m[13];
            out[i].vertex.z = in.x * m[2] + in.y * m[6] + in.z * m[10] + m[14];
        }
    } else {
        for (int i = 0; i < count; ++i) {
            transformInto(out[i].vertex, vertices[i], m);
            out[i].slot = 0;
        }
    }
    const auto n = static_cast<std::uint32_t>(count);
    switch (primitive) {
    case Primitive::PointList:
        for (std::uint32_t i = 0; i < n; ++i) {
            queuedIndices.push_back(base + i);
        }
        break;
    case Primitive::LineList:
        for (std::uint32_t i = 0; i + 1 < n; i += 2) {
            queuedIndices.insert(queuedIndices.end(), {base + i, base + i + 1});
        }
        break;
    case Primitive::LineStrip:
        for (std::uint32_t i = 0; i + 1 < n; ++i) {
            queuedIndices.insert(queuedIndices.end(), {base + i, base + i + 1});
        }
        break;
    case Primitive::TriangleList:
        for (std::uint32_t i = 0; i + 2 < n; i += 3) {
            queuedIndices.insert(queuedIndices.end(), {base + i, base + i + 1, base + i + 2});
        }
        break;
    case Primitive::TriangleStrip:
        for (std::uint32_t i = 0; i + 2 < n; ++i) {
            if (i % 2 == 0) {
                queuedIndices.insert(queuedIndices.end(), {base + i, base + i + 1, base + i + 2});
            } else {
                queuedIndices.insert(queuedIndices.end(), {base + i + 1, base + i, base + i + 2});
            }
        }
        break;
    case Primitive::TriangleFan:
        for (std::uint32_t i = 1; i + 1 < n; ++i) {
            queuedIndices.insert(queuedIndices.end(), {base, base + i, base + i + 1});
        }
        break;
    }
    commands.back().indexCount += static_cast<std::uint32_t>(queuedIndices.size() - indicesBefore);
    commands.back().lastVertex = base + n - 1;
}

void GLDevice::planCalls()
{
    calls.clear();
    const auto textureOf = [this](const DrawState& state) { return state.texture != 0 ? state.texture : whiteTexture; };
    const auto samplerOf = [](const DrawState& state) {
        return static_cast<std::uint8_t>((state.bilinear ? 2 : 0) + (state.wrap ? 1 : 0));
    };
    const auto count = static_cast<std::uint32_t>(commands.size());
    for (Command& command : commands) {
        command.bSmall = bJoining && command.indexCount <= SHORT_RUN_INDICES && pixelArea(command) <= SMALL_RUN_PIXELS;
    }
    for (std::uint32_t first = 0; first < count;) {
        const Command& head = commands[first];
        Call call;
        call.first = first;
        call.slotCount = 1;
        call.textures[0] = textureOf(head.state);
        call.samplers[0] = samplerOf(head.state);
        std::uint32_t end = first + 1;
        // Small runs after a small run join its call while they share its blending, primitive and matrix
        // and a slot is left for their texture.
        for (; head.bSmall && end < count; ++end) {
            const Command& next = commands[end];
            if (!next.bSmall || next.kind != head.kind || next.matrix != head.matrix ||
                next.state.blend != head.state.blend) {
                break;
            }
            const unsigned texture = textureOf(next.state);
            const std::uint8_t sampler = samplerOf(next.state);
            int slot = 0;
            while (slot < call.slotCount && (call.textures[slot] != texture || call.samplers[slot] != sampler)) {
                ++slot;
            }
            if (slot == TEXTURE_SLOTS) {
                break;
            }
            if (slot == call.slotCount) {
                call.textures[slot] = texture;
                call.samplers[slot] = sampler;
                ++call.slotCount;
            }
            for (std::uint32_t v = next.firstVertex; v <= next.lastVertex; ++v) {
                queued[v].slot = static_cast<std::uint32_t>(slot);
            }
        }
        call.end = end;
        calls.push_back(call);
        first = end;
    }
}

float GLDevice::pixelArea(const Command& command) const
{
    if (command.kind != Batch::Triangles) {
        return 0.0f;
    }
    const float* m = matrices.data() + command.matrix * 16;
    const float halfWidth = 0.5f * static_cast<float>(viewport[2]), halfHeight = 0.5f * static_cast<float>(viewport[3]);
    const auto toPixels = [&](std::uint32_t index, float& x, float& y) {
        const Vertex& v = queued[index].vertex;
        const float w = v.x * m[3] + v.y * m[7] + v.z * m[11] + m[15];
        const float scale = w != 0.0f ? 1.0f / w : 1.0f;
        x = (v.x * m[0] + v.y * m[4] + v.z * m[8] + m[12]) * scale * halfWidth;
        y = (v.x * m[1] + v.y * m[5] + v.z * m[9] + m[13]) * scale * halfHeight;
    };
    float area = 0.0f;
    for (std::uint32_t i = command.firstIndex; i + 2 < command.firstIndex + command.indexCount; i += 3) {
        float ax, ay, bx, by, cx, cy;
        toPixels(queuedIndices[i], ax, ay);
        toPixels(queuedIndices[i + 1], bx, by);
        toPixels(queuedIndices[i + 2], cx, cy);
        area += 0.5f * std::abs((bx - ax) * (cy - ay) - (cx - ax) * (by - ay));
    }
    return area;
}

void GLDevice::useProgram(int slots)
{
    // Picked by index, one program serves every call of several slots, with all of them.
    const bool byIndex = bIndexSlots && slots > 1;
    if (byIndex) {
        slots = TEXTURE_SLOTS;
    }
    const int index = byIndex ? INDEX_PROGRAM : slots - 1;
    if (index == boundProgram) {
        return;
    }
    if (programs[index] == 0) {
        // Made when a call first needs it; slot i samples texture unit i.
        const GLuint fragment = compileShader(GL_FRAGMENT_SHADER, fragmentShader(slots, byIndex).c_str());
        const GLuint program = glCreateProgram();
        glAttachShader(program, static_cast<GLuint>(vertexShaders[slots > 1 ? 1 : 0]));
        glAttachShader(program, fragment);
        glLinkProgram(program);
        glDetachShader(program, fragment);
        glDeleteShader(fragment);
        GLint linked = 0;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        if (!linked) {
            KIV_FATAL(u"Shader program could not be linked.");
        }
        programs[index] = program;
        // A program's uniforms are set while it is the one in use.
        glUseProgram(program);
        uniformViewProjection[index] = glGetUniformLocation(program, "uViewProjection");
        GLint units[TEXTURE_SLOTS];
        for (int i = 0; i < slots; ++i) {
            units[i] = i;
        }
        glUniform1iv(glGetUniformLocation(program, "uTextures"), slots, units);
    } else {
        glUseProgram(programs[index]);
    }
    boundProgram = index;
}

void GLDevice::bindCall(const Call& call, BlendMode blend)
{
    // Only what changed goes to the driver.
    useProgram(call.slotCount);
    for (int i = 0; i < call.slotCount; ++i) {
        if (call.textures[i] != boundTextures[i]) {
            if (activeUnit != i) {
                glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(i));
                activeUnit = i;
            }
            glBindTexture(GL_TEXTURE_2D, call.textures[i]);
            boundTextures[i] = call.textures[i];
        }
        if (call.samplers[i] != boundSamplers[i]) {
            glBindSampler(static_cast<GLuint>(i), samplers[call.samplers[i]]);
            boundSamplers[i] = call.samplers[i];
        }
    }
    const int blendMode = static_cast<int>(blend);
    if (blendMode != boundBlend) {
        switch (blend) {
        case BlendMode::Opaque: glDisable(GL_BLEND); break;
        case BlendMode::Alpha:
            glEnable(GL_BLEND);
            glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
            break;
        case BlendMode::Additive:
            glEnable(GL_BLEND);
            glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE, GL_ZERO, GL_ONE);
            break;
        }
        boundBlend = blendMode;
    }
}

void GLDevice::flush()
{
    if (commands.empty()) {
        return;
    }
    if (!queuedIndices.empty()) {
        // Everything queued goes up in one piece; the commands draw from it in order. When a buffer is full
        // it is orphaned and started over, so the driver never waits for a draw that reads the old contents.
        auto stream = [](GLenum target, std::size_t bytes, const void* data, std::size_t& capacity, std::size_t& offset) {
            if (bytes > capacity) {
                capacity = std::max<std::size_t>(bytes, std::max<std::size_t>(capacity * 2, 1u << 20));
                glBufferData(target, static_cast<GLsizeiptr>(capacity), nullptr, GL_STREAM_DRAW);
                offset = 0;
            } else if (offset + bytes > capacity) {
                glBufferData(target, static_cast<GLsizeiptr>(capacity), nullptr, GL_STREAM_DRAW);
                offset = 0;
            }
            glBufferSubData(target, static_cast<GLintptr>(offset), static_cast<GLsizeiptr>(bytes), data);
            const std::size_t at = offset;
            offset += bytes;
            return at;
        };
        planCalls();
        const std::size_t vertexAt =
            stream(GL_ARRAY_BUFFER, queued.size() * sizeof(SlotVertex), queued.data(), vboCapacity, vboOffset);
        const std::size_t indexAt = stream(GL_ELEMENT_ARRAY_BUFFER, queuedIndices.size() * sizeof(std::uint32_t),
                                           queuedIndices.data(), iboCapacity, iboOffset);
        // The matrix each program has, of this flush's matrices.
        std::uint32_t programMatrix[PROGRAM_KINDS];
        std::fill(std::begin(programMatrix), std::end(programMatrix), ~0u);
        for (const Call& call : calls) {
            const Command& head = commands[call.first];
            const Command& tail = commands[call.end - 1];
            const std::uint32_t indexCount = tail.firstIndex + tail.indexCount - head.firstIndex;
            if (indexCount == 0) {
                continue;
            }
            bindCall(call, head.state.blend);
            if (programMatrix[boundProgram] != head.matrix) {
                programMatrix[boundProgram] = head.matrix;
                glUniformMatrix4fv(uniformViewProjection[boundProgram], 1, GL_FALSE,
                                   matrices.data() + head.matrix * 16);
            }
            const GLenum mode =
                head.kind == Batch::Points ? GL_POINTS : head.kind == Batch::Lines ? GL_LINES : GL_TRIANGLES;
            // The range spares the driver a scan of the indices.
            glDrawRangeElementsBaseVertex(mode, head.firstVertex, tail.lastVertex, static_cast<GLsizei>(indexCount),
                                          GL_UNSIGNED_INT,
                                          reinterpret_cast<void*>(indexAt + head.firstIndex * sizeof(std::uint32_t)),
                                          static_cast<GLint>(vertexAt / sizeof(SlotVertex)));
            ++counters.drawCalls;
        }
        counters.verticesSent += static_cast<int>(queued.size());
    }
    queued.clear();
    queuedIndices.clear();
    commands.clear();
    matrices.clear();
    bViewProjectionChanged = true; // the next command records the matrix in force
}

void GLDevice::clear(std::uint32_t flags, std::uint32_t color, float z, std::uint32_t stencil, bool wholeWindow)
{
    flush();
    GLbitfield mask = 0;
    if (flags & ClearTarget) {
        glClearColor(((color >> 16) & 0xFF) / 255.0f, ((color >> 8) & 0xFF) / 255.0f, (color & 0xFF) / 255.0f,
                     ((color >> 24) & 0xFF) / 255.0f);
        mask |= GL_COLOR_BUFFER_BIT;
    }
    if (flags & ClearZBuffer) {
        glClearDepth(z);
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    if (flags & ClearStencil) {
        glClearStencil(static_cast<GLint>(stencil));
        mask |= GL_STENCIL_BUFFER_BIT;
    }
    // The whole window is no more than the drawable: a display-less driver's surface can be larger.
    const auto [windowWidth, windowHeight] = drawableSize();
    glEnable(GL_SCISSOR_TEST);
    if (wholeWindow) {
        glScissor(0, 0, windowWidth, windowHeight);
    } else {
        glScissor(viewport[0], windowHeight - viewport[1] - viewport[3], viewport[2], viewport[3]);
    }
    glClear(mask);
    glDisable(GL_SCISSOR_TEST);
}

void GLDevice::present()
{
    flush();
    SDL_GL_SwapWindow(sdlWindow);
    if (frameFences[1] != nullptr) {
        glDeleteSync(static_cast<GLsync>(frameFences[1]));
    }
    frameFences[1] = frameFences[0];
    frameFences[0] = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    if (frameFences[1] != nullptr) {
        // Waits in steps of a second; a lost context or a failed wait ends it.
        GLenum result = GL_TIMEOUT_EXPIRED;
        while (result == GL_TIMEOUT_EXPIRED) {
            result = glClientWaitSync(static_cast<GLsync>(frameFences[1]), GL_SYNC_FLUSH_COMMANDS_BIT, 1000000000u);
        }
    }
    ++presentedFrames;
}

bool GLDevice::frameBeforeLastDone() const
{
    if (frameFences[1] == nullptr) {
        return false;
    }
    GLint status = GL_UNSIGNALED;
    glGetSynciv(static_cast<GLsync>(frameFences[1]), GL_SYNC_STATUS, 1, nullptr, &status);
    return status == GL_SIGNALED;
}

void GLDevice::finish()
{
    flush();
    glFinish();
}

std::vector<std::uint32_t> GLDevice::readPixels(int left, int top, int width, int height)
{
    flush();
    std::vector<std::uint32_t> pixels;
    if (width <= 0 || height <= 0) {
        return pixels;
    }
    pixels.resize(static_cast<std::size_t>(width) * height);
    const int windowHeight = drawableSize().second;
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(left, windowHeight - top - height, width, height, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, pixels.data());
    // GL reads bottom-up.
    for (int y = 0; y < height / 2; ++y) {
        std::swap_ranges(pixels.begin() + static_cast<std::ptrdiff_t>(y) * width,
                         pixels.begin() + static_cast<std::ptrdiff_t>(y + 1) * width,
                         pixels.begin() + static_cast<std::ptrdiff_t>(height - 1 - y) * width);
    }
    return pixels;
}

OffscreenWindow::OffscreenWindow(int width, int height)
{
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        KIV_FATAL(formatString(u"Could not start the video system: %s", SDL_GetError()));
    }
    // The GL driver stays loaded for the life of the process: unloading it with the last window throws
    // away the driver's own bookkeeping (and its symbols), which leak checkers then report as ours.
    static const bool driverHeld = [] { return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0 && SDL_GL_LoadLibrary(nullptr) == 0; }();
    (void)driverHeld;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    sdlWindow = SDL_CreateWindow("Tobble", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height,
                                 SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (sdlWindow == nullptr) {
        KIV_FATAL(formatString(u"Could not create a window: %s", SDL_GetError()));
    }
}

OffscreenWindow::~OffscreenWindow()
{
    SDL_DestroyWindow(sdlWindow);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
