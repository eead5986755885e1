// The bare page: a frame's picture copied from the game (Module.barePicture, made by
// BarePicture.cpp) drawn again and again with WebGL alone, in as few calls as the picture
// allows, on a canvas of its own in place of the game's. What the page costs beyond this is the
// game's own work and the way it hands the picture over.
//
// Every quad in the game's order, in as few calls as its blending allows: the textures sit on
// units of their own, sampled as the game samples them, and each vertex names its texture and
// how its pixels blend. The shader premultiplies, so that alpha
// blending (src * a + dst * (1 - a)), adding (src * a + dst) and replacing (src) all go through
// the one blend function (ONE, ONE_MINUS_SRC_ALPHA). Replacing runs go without blending (a
// rasteriser on the CPU then reads nothing under them) and multiplying with a blend function of
// its own: each change of these ends a call.
'use strict';

window.BarePage = (() => {
  const kVertexBytes = 20;  // SDL_Vertex: x, y (floats), r, g, b, a (bytes), u, v (floats)
  // SDL_BlendMode values.
  const kNone = 0, kAdd = 2, kMod = 4;

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
    // way: x = 1 to replace (premultiplied alpha of 1), y = 0 to add (alpha out 0); texture:
    // which texture unit (-1: untextured, white).
    // WebGL 1, as the game's renderer draws.
    const vs = `
      attribute vec2 position;
      attribute vec4 colour;
      attribute vec2 uv;
      attribute vec3 way;
      uniform vec2 size;
      varying vec4 vColour; varying vec2 vUv; varying vec3 vWay;
      void main() {
        gl_Position = vec4(position.x / size.x * 2.0 - 1.0, 1.0 - position.y / size.y * 2.0, 0, 1);
        vColour = colour; vUv = uv; vWay = way;
      }`;
    let samplers = '', pick = 'vec4 c = vec4(1.0);\n';
    for (let i = 0; i < textures; ++i) {
      samplers += `uniform sampler2D t${i};\n`;
      pick += `${i ? 'else ' : ''}if (vWay.z < ${i}.5) c = texture2D(t${i}, vUv);\n`;
    }
    const fs = `
      precision mediump float;
      ${samplers}
      varying vec4 vColour; varying vec2 vUv; varying vec3 vWay;
      void main() {
        ${pick}
        c *= vColour;
        float a = mix(c.a, 1.0, vWay.x);
        gl_FragColor = vec4(c.rgb * a, a * vWay.y);
      }`;
    const p = gl.createProgram();
    ['position', 'colour', 'uv', 'way'].forEach((name, i) => gl.bindAttribLocation(p, i, name));
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
    // Each vertex's way of blending and its texture.
    const quads = picture.vertices.length / kVertexBytes / 4;
    const way = new Float32Array(quads * 4 * 3);
    const indices = new Uint16Array(quads * 6);  // fewer than 65,536 vertices
    runs = [];
    for (const b of picture.batches) {
      const mul = b.blend === kMod;
      const blend = b.blend === kNone ? 'none' : mul ? 'mul' : 'mix';
      if (!runs.length || runs[runs.length - 1].blend !== blend) {
        runs.push({blend, first: b.firstQuad, count: 0});
      }
      runs[runs.length - 1].count += b.quads;
      const w = [b.blend === kNone || mul ? 1 : 0, b.blend === kAdd ? 0 : 1,
                 b.texture < 0 ? 99 : b.texture];
      for (let q = b.firstQuad; q < b.firstQuad + b.quads; ++q) {
        for (let k = 0; k < 4; ++k) {
          way.set(w, (q * 4 + k) * 3);
        }
        indices.set([q * 4, q * 4 + 1, q * 4 + 2, q * 4, q * 4 + 2, q * 4 + 3], q * 6);
      }
    }
    const vb = gl.createBuffer();
    gl.bindBuffer(gl.ARRAY_BUFFER, vb);
    gl.bufferData(gl.ARRAY_BUFFER, picture.vertices, gl.STATIC_DRAW);
    gl.enableVertexAttribArray(0);
    gl.vertexAttribPointer(0, 2, gl.FLOAT, false, kVertexBytes, 0);
    gl.enableVertexAttribArray(1);
    gl.vertexAttribPointer(1, 4, gl.UNSIGNED_BYTE, true, kVertexBytes, 8);
    gl.enableVertexAttribArray(2);
    gl.vertexAttribPointer(2, 2, gl.FLOAT, false, kVertexBytes, 12);
    const wb = gl.createBuffer();
    gl.bindBuffer(gl.ARRAY_BUFFER, wb);
    gl.bufferData(gl.ARRAY_BUFFER, way, gl.STATIC_DRAW);
    gl.enableVertexAttribArray(3);
    gl.vertexAttribPointer(3, 3, gl.FLOAT, false, 0, 0);
    const ib = gl.createBuffer();
    gl.bindBuffer(gl.ELEMENT_ARRAY_BUFFER, ib);
    gl.bufferData(gl.ELEMENT_ARRAY_BUFFER, indices, gl.STATIC_DRAW);
  }

  function draw(now) {
    times.push(now);
    gl.clearColor(0, 0, 0, 1);
    gl.clear(gl.COLOR_BUFFER_BIT);
    for (const r of runs) {
      if (r.blend === 'none') {
        gl.disable(gl.BLEND);
      } else {
        gl.enable(gl.BLEND);
        if (r.blend === 'mul') {
          gl.blendFunc(gl.DST_COLOR, gl.ZERO);
        } else {
          gl.blendFuncSeparate(gl.ONE, gl.ONE_MINUS_SRC_ALPHA, gl.ONE, gl.ONE_MINUS_SRC_ALPHA);
        }
      }
      gl.drawElements(gl.TRIANGLES, r.count * 6, gl.UNSIGNED_SHORT, r.first * 6 * 2);
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
      // The game's canvas's own settings (alpha, depth, antialiasing), so both pay the same
      // for what the browser does with the canvas after drawing.
      const game = Module.ctx && Module.ctx.getContextAttributes();
      gl = canvas.getContext('webgl', game || {alpha: false, depth: false, antialias: false});
      const p = program(picture.textures.length);
      gl.useProgram(p);
      upload(picture);
      gl.uniform2f(gl.getUniformLocation(p, 'size'), 1024, 768);
      picture.textures.forEach((t, i) => gl.uniform1i(gl.getUniformLocation(p, 't' + i), i));
      gl.viewport(0, 0, canvas.width, canvas.height);
      gl.enable(gl.BLEND);
      times.length = 0;
      frameHandle = requestAnimationFrame(draw);
      return runs.length;
    },
    // Where the picture's fill goes: per texture (-1: none) and blend mode, the quads and the
    // pixels they cover (their areas summed, overlaps counted again).
    fill(picture) {
      const view = new DataView(picture.vertices.buffer, picture.vertices.byteOffset);
      const sums = {};
      for (const b of picture.batches) {
        const key = b.texture + '/' + b.blend;
        const sum = sums[key] || (sums[key] = {texture: b.texture, blend: b.blend, quads: 0,
                                               area: 0, batches: 0});
        sum.batches += 1;
        for (let q = b.firstQuad; q < b.firstQuad + b.quads; ++q) {
          let twice = 0;
          for (let k = 0; k < 4; ++k) {
            const a = (q * 4 + k) * kVertexBytes, c = (q * 4 + (k + 1) % 4) * kVertexBytes;
            twice += view.getFloat32(a, true) * view.getFloat32(c + 4, true) -
                     view.getFloat32(c, true) * view.getFloat32(a + 4, true);
          }
          sum.quads += 1;
          sum.area += Math.abs(twice) / 2;
        }
      }
      return Object.values(sums).map((s) => ({...s, size: s.texture < 0 ? '-' :
        picture.textures[s.texture].w + 'x' + picture.textures[s.texture].h}));
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
