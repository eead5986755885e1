// The bare page: a frame's picture copied from the game (Module.barePicture, made by
// BarePicture.cpp) drawn again and again with WebGL alone, in as few calls as the picture
// allows, on a canvas of its own in place of the game's. What the page costs beyond this is the
// game's own work and the way it hands the picture over.
//
// One call draws every quad in the game's order: the textures sit on units of their own, each
// vertex names its texture and blend mode, and the shader premultiplies, so that alpha blending
// (src * a + dst * (1 - a)), adding (src * a + dst) and replacing (src) all go through the one
// blend function (ONE, ONE_MINUS_SRC_ALPHA). Only multiplying needs another; it ends a call.
'use strict';

window.BarePage = (() => {
  const kVertexBytes = 20;  // SDL_Vertex: x, y (floats), r, g, b, a (bytes), u, v (floats)
  // SDL_BlendMode values.
  const kNone = 0, kBlend = 1, kAdd = 2, kMod = 4;

  let canvas = null, gl = null, frameHandle = 0, runs = [];
  const times = [];

  function shader(type, text) {
    const s = gl.createShader(type);
    gl.shaderSource(s, text);
    gl.compileShader(s);
    if (!gl.getShaderParameter(s, gl.COMPILE_STATUS)) throw new Error(gl.getShaderInfoLog(s));
    return s;
  }

  function program(textures) {
    const vs = `#version 300 es
      layout(location = 0) in vec2 position;
      layout(location = 1) in vec4 colour;
      layout(location = 2) in vec2 uv;
      layout(location = 3) in vec2 textureAndMode;
      uniform vec2 size;
      out vec4 vColour; out vec2 vUv; flat out int vTexture; flat out int vMode;
      void main() {
        gl_Position = vec4(position.x / size.x * 2.0 - 1.0, 1.0 - position.y / size.y * 2.0, 0, 1);
        vColour = colour; vUv = uv;
        vTexture = int(textureAndMode.x) - 1; vMode = int(textureAndMode.y);
      }`;
    let lookup = '';
    for (let i = 0; i < textures; ++i) {
      lookup += `uniform sampler2D t${i};\n`;
    }
    let pick = 'vec4 c = vec4(1.0);\n';
    for (let i = 0; i < textures; ++i) {
      pick += `${i ? 'else ' : ''}if (vTexture == ${i}) c = textureLod(t${i}, vUv, 0.0);\n`;
    }
    const fs = `#version 300 es
      precision mediump float;
      ${lookup}
      in vec4 vColour; in vec2 vUv; flat in int vTexture; flat in int vMode;
      out vec4 outColour;
      void main() {
        ${pick}
        c *= vColour;
        if (vMode == ${kAdd}) outColour = vec4(c.rgb * c.a, 0.0);
        else if (vMode == ${kNone}) outColour = vec4(c.rgb, 1.0);
        else if (vMode == ${kMod}) outColour = vec4(c.rgb, 1.0);
        else outColour = vec4(c.rgb * c.a, c.a);
      }`;
    const p = gl.createProgram();
    gl.attachShader(p, shader(gl.VERTEX_SHADER, vs));
    gl.attachShader(p, shader(gl.FRAGMENT_SHADER, fs));
    gl.linkProgram(p);
    if (!gl.getProgramParameter(p, gl.LINK_STATUS)) throw new Error(gl.getProgramInfoLog(p));
    return p;
  }

  function upload(picture) {
    picture.textures.forEach((t, i) => {
      let pixels = t.pixels;
      if (t.swapRedBlue) {
        pixels = new Uint8Array(pixels);
        for (let k = 0; k < pixels.length; k += 4) {
          const r = pixels[k];
          pixels[k] = pixels[k + 2];
          pixels[k + 2] = r;
        }
      }
      const tex = gl.createTexture();
      gl.activeTexture(gl.TEXTURE0 + i);
      gl.bindTexture(gl.TEXTURE_2D, tex);
      gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA, t.w, t.h, 0, gl.RGBA, gl.UNSIGNED_BYTE, pixels);
      const filter = t.linear ? gl.LINEAR : gl.NEAREST;
      gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MIN_FILTER, filter);
      gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MAG_FILTER, filter);
      gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_S, gl.CLAMP_TO_EDGE);
      gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_T, gl.CLAMP_TO_EDGE);
    });
    // Quads to triangles, and each vertex's texture (+1; 0 = none) and blend mode.
    const quads = picture.vertices.length / kVertexBytes / 4;
    const extra = new Float32Array(quads * 4 * 2);
    const indices = new Uint32Array(quads * 6);
    runs = [];
    for (const b of picture.batches) {
      const mul = b.blend === kMod;
      if (!runs.length || runs[runs.length - 1].mul !== mul) {
        runs.push({mul, first: b.firstQuad, count: 0});
      }
      runs[runs.length - 1].count += b.quads;
      for (let q = b.firstQuad; q < b.firstQuad + b.quads; ++q) {
        for (let k = 0; k < 4; ++k) {
          extra[(q * 4 + k) * 2] = b.texture + 1;
          extra[(q * 4 + k) * 2 + 1] = b.blend;
        }
        indices.set([q * 4, q * 4 + 1, q * 4 + 2, q * 4, q * 4 + 2, q * 4 + 3], q * 6);
      }
    }
    const vao = gl.createVertexArray();
    gl.bindVertexArray(vao);
    const vb = gl.createBuffer();
    gl.bindBuffer(gl.ARRAY_BUFFER, vb);
    gl.bufferData(gl.ARRAY_BUFFER, picture.vertices, gl.STATIC_DRAW);
    gl.enableVertexAttribArray(0);
    gl.vertexAttribPointer(0, 2, gl.FLOAT, false, kVertexBytes, 0);
    gl.enableVertexAttribArray(1);
    gl.vertexAttribPointer(1, 4, gl.UNSIGNED_BYTE, true, kVertexBytes, 8);
    gl.enableVertexAttribArray(2);
    gl.vertexAttribPointer(2, 2, gl.FLOAT, false, kVertexBytes, 12);
    const eb = gl.createBuffer();
    gl.bindBuffer(gl.ARRAY_BUFFER, eb);
    gl.bufferData(gl.ARRAY_BUFFER, extra, gl.STATIC_DRAW);
    gl.enableVertexAttribArray(3);
    gl.vertexAttribPointer(3, 2, gl.FLOAT, false, 0, 0);
    const ib = gl.createBuffer();
    gl.bindBuffer(gl.ELEMENT_ARRAY_BUFFER, ib);
    gl.bufferData(gl.ELEMENT_ARRAY_BUFFER, indices, gl.STATIC_DRAW);
  }

  function draw(now) {
    times.push(now);
    gl.clearColor(0, 0, 0, 1);
    gl.clear(gl.COLOR_BUFFER_BIT);
    for (const r of runs) {
      if (r.mul) {
        gl.blendFunc(gl.DST_COLOR, gl.ZERO);
      } else {
        gl.blendFuncSeparate(gl.ONE, gl.ONE_MINUS_SRC_ALPHA, gl.ONE, gl.ONE_MINUS_SRC_ALPHA);
      }
      gl.drawElements(gl.TRIANGLES, r.count * 6, gl.UNSIGNED_INT, r.first * 6 * 4);
    }
    frameHandle = requestAnimationFrame(draw);
  }

  return {
    // Puts the bare canvas over the game's (hidden) and draws the picture every display frame.
    start(picture, gameCanvas) {
      canvas = document.createElement('canvas');
      canvas.width = gameCanvas.width;
      canvas.height = gameCanvas.height;
      canvas.style.cssText = 'display: block; width: 1024px; height: 768px';
      gameCanvas.style.display = 'none';
      gameCanvas.parentNode.insertBefore(canvas, gameCanvas);
      gl = canvas.getContext('webgl2', {alpha: false, depth: false, stencil: false,
                                        antialias: false});
      const p = program(picture.textures.length);
      gl.useProgram(p);
      gl.uniform2f(gl.getUniformLocation(p, 'size'), 1024, 768);
      picture.textures.forEach((t, i) => gl.uniform1i(gl.getUniformLocation(p, 't' + i), i));
      gl.viewport(0, 0, canvas.width, canvas.height);
      gl.enable(gl.BLEND);
      upload(picture);
      times.length = 0;
      frameHandle = requestAnimationFrame(draw);
      return runs.length;
    },
    // Frames drawn so far and their start times (ms, the display callback's).
    frames() { return times.length; },
    times() { return times.slice(); },
    stop(gameCanvas) {
      cancelAnimationFrame(frameHandle);
      canvas.remove();
      gl = null;
      canvas = null;
      gameCanvas.style.display = 'block';
    },
  };
})();
