// Run before a page's own scripts by bench/web_frame_cost.py. Counts the
// calls to every WebGL function, the draw calls, the animation frames and the
// drawn frames (animation frames whose callbacks drew something), and follows
// what the page gives WebGL (shader sources, buffer contents, texture images,
// uniform values, attribute pointers, fixed state) so that one drawn frame
// can be recorded and replayed by bench/webgl_anchor.html.
//
//   __cost.wantFrame = true   the next drawn frame is recorded in __cost.frame
//   __cost.serialize()        that frame, with what its draws use, as JSON
//   __cost.light()            back to WebGL's own functions, but for the draw
//                             calls, which only count: the figures of time
(() => {
  const cost = window.__cost = {calls: {}, draws: 0, animationFrames: 0, drawnFrames: 0,
                                wantFrame: false, frame: null};
  const protos = [WebGLRenderingContext.prototype, WebGL2RenderingContext.prototype];
  const originals = protos.map(() => ({}));
  const isDraw = (name) => /^draw(Arrays|Elements|RangeElements)/.test(name);

  // What WebGL holds, as the page set it.
  const ids = new WeakMap();
  let lastId = 0;
  const id = (object) => object ? ids.get(object) ?? (ids.set(object, ++lastId), lastId) : null;
  const shaders = {}, programs = {}, buffers = {}, textures = {};
  const locations = new WeakMap();  // uniform location: [program id, name]
  const bound = {};  // buffer target: buffer id
  const arrays = new Map([[null, {element: null, attributes: {}}]]);  // vertex array: state
  let array = arrays.get(null), program = null, unit = 0x84C0, recording = null, context = null;
  const units = {};  // texture unit: {target: texture id}
  const unpack = {};  // pixelStorei
  const fixed = {};  // key: [function, ...arguments], the last call that set it

  // The bytes of an ArrayBufferView argument, from srcOffset (elements) for
  // srcLength elements, or the whole view; `bytes` caps the count.
  const copy = (view, offset = 0, length = 0, bytes = Infinity) => {
    if (view === null || view === undefined) return null;
    if (typeof view === 'number') return new Uint8Array(view);
    if (view instanceof ArrayBuffer) view = new Uint8Array(view);
    const size = view.BYTES_PER_ELEMENT || 1;
    const count = Math.min(length ? length * size : view.byteLength - offset * size, bytes);
    return new Uint8Array(view.buffer, view.byteOffset + offset * size, count).slice();
  };
  const values = (view, offset = 0, length = 0) =>
    Array.from(length ? view.subarray(offset, offset + length) : offset ? view.subarray(offset) : view);
  // Bytes of a width x height upload, rows aligned as UNPACK_ALIGNMENT says.
  const packed = {0x8363: 2, 0x8033: 2, 0x8034: 2, 0x8368: 4, 0x84FA: 4, 0x8C3B: 4, 0x8C3E: 4};
  const components = {0x1908: 4, 0x1907: 3, 0x190A: 2, 0x8227: 2, 0x8228: 2, 0x8D99: 4, 0x8D98: 3};
  const typeSize = {0x1400: 1, 0x1401: 1, 0x1402: 2, 0x1403: 2, 0x1404: 4, 0x1405: 4,
                    0x1406: 4, 0x140B: 2, 0x8D61: 2};
  const imageBytes = (width, height, format, type) => {
    const pixel = packed[type] || (components[format] || 1) * (typeSize[type] || 1);
    const align = unpack[0x0CF5] || 4;
    return Math.ceil(width * pixel / align) * align * (height - 1) + width * pixel;
  };
  const texture = (target) => textures[(units[unit] || {})[target]] ?? null;
  const setFixed = ['blendFunc', 'blendFuncSeparate', 'blendEquation', 'blendEquationSeparate',
    'blendColor', 'depthFunc', 'depthMask', 'depthRange', 'colorMask', 'cullFace', 'frontFace',
    'viewport', 'scissor', 'clearColor', 'clearDepth', 'clearStencil', 'polygonOffset', 'lineWidth',
    'stencilFunc', 'stencilFuncSeparate', 'stencilOp', 'stencilOpSeparate', 'stencilMask',
    'stencilMaskSeparate', 'sampleCoverage'];

  const track = {
    createShader: (a, r) => { shaders[id(r)] = {type: a[0], source: ''}; },
    shaderSource: (a) => { (shaders[id(a[0])] ??= {type: 0}).source = a[1]; },
    createProgram: (a, r) => { programs[id(r)] = {attached: [], shaders: [], attributes: {}, uniforms: {}}; },
    attachShader: (a) => { programs[id(a[0])]?.attached.push(id(a[1])); },
    detachShader: (a) => { const p = programs[id(a[0])]; if (p) p.attached = p.attached.filter(s => s !== id(a[1])); },
    linkProgram: (a) => { const p = programs[id(a[0])]; if (p) p.shaders = p.attached.map(s => ({...shaders[s]})); },
    bindAttribLocation: (a) => { const p = programs[id(a[0])]; if (p) p.attributes[a[2]] = a[1]; },
    getAttribLocation: (a, r) => { const p = programs[id(a[0])]; if (p && r >= 0) p.attributes[a[1]] = r; },
    getUniformLocation: (a, r) => { if (r) locations.set(r, [id(a[0]), a[1]]); },
    useProgram: (a) => { program = id(a[0]); },
    bindBuffer: (a) => {
      const b = id(a[1]);
      if (b !== null) buffers[b] ??= {target: a[0], usage: 0x88E4, data: new Uint8Array(0)};
      if (a[0] === 0x8893) array.element = b; else bound[a[0]] = b;
    },
    bufferData: (a) => {
      const b = buffers[a[0] === 0x8893 ? array.element : bound[a[0]]];
      if (b) { b.data = copy(a[1], a[3], a[4]); b.usage = a[2]; }
    },
    bufferSubData: (a) => {
      const b = buffers[a[0] === 0x8893 ? array.element : bound[a[0]]], data = copy(a[2], a[3], a[4]);
      if (!b || !data) return;
      if (b.data.length < a[1] + data.length) {
        const grown = new Uint8Array(a[1] + data.length);
        grown.set(b.data);
        b.data = grown;
      }
      b.data.set(data, a[1]);
    },
    createVertexArray: (a, r) => { arrays.set(r, {element: null, attributes: {}}); },
    bindVertexArray: (a) => { array = arrays.get(a[0]) ?? arrays.get(null); },
    enableVertexAttribArray: (a) => { (array.attributes[a[0]] ??= {}).enabled = true; },
    disableVertexAttribArray: (a) => { (array.attributes[a[0]] ??= {}).enabled = false; },
    vertexAttribPointer: (a) => {
      const at = array.attributes[a[0]] ??= {enabled: false};
      at.pointer = ['vertexAttribPointer', bound[0x8892] ?? null, a[0], a[1], a[2], a[3], a[4], a[5]];
    },
    vertexAttribIPointer: (a) => {
      const at = array.attributes[a[0]] ??= {enabled: false};
      at.pointer = ['vertexAttribIPointer', bound[0x8892] ?? null, a[0], a[1], a[2], a[3], a[4]];
    },
    activeTexture: (a) => { unit = a[0]; },
    bindTexture: (a) => { (units[unit] ??= {})[a[0]] = id(a[1]); if (a[1]) textures[id(a[1])] ??= {target: a[0], uploads: [], params: {}}; },
    pixelStorei: (a) => { unpack[a[0]] = a[1]; },
    texImage2D: (a) => {
      const t = texture(a[0]);
      if (!t) return;
      // Only the forms with pixels from memory (or none); an image element is left blank.
      const pixels = a.length >= 9 ? copy(a[8], a[9], 0, imageBytes(a[3], a[4], a[6], a[7])) : null;
      const args = a.length >= 9 ? a.slice(0, 8) : [a[0], a[1], a[2], 1, 1, 0, a[3], a[4]];
      if (a[1] === 0) t.uploads = [];
      t.uploads.push({call: 'texImage2D', args, pixels, unpack: {...unpack}});
    },
    texSubImage2D: (a) => {
      const t = texture(a[0]);
      if (t && a.length >= 9) t.uploads.push({call: 'texSubImage2D', args: a.slice(0, 8),
        pixels: copy(a[8], a[9], 0, imageBytes(a[4], a[5], a[6], a[7])), unpack: {...unpack}});
    },
    generateMipmap: (a) => { texture(a[0])?.uploads.push({call: 'generateMipmap', args: [a[0]]}); },
    texParameteri: (a) => { const t = texture(a[0]); if (t) t.params[a[1]] = ['texParameteri', a[2]]; },
    texParameterf: (a) => { const t = texture(a[0]); if (t) t.params[a[1]] = ['texParameterf', a[2]]; },
    enable: (a) => { fixed['cap:' + a[0]] = ['enable', a[0]]; },
    disable: (a) => { fixed['cap:' + a[0]] = ['disable', a[0]]; },
    clear: (a) => { recording?.push({clear: a[0], fixed: {...fixed}}); },
  };
  for (const name of setFixed) track[name] = (a) => { fixed[name] = [name, ...a]; };
  const setUniform = (name, a) => {
    const at = locations.get(a[0]);
    if (!at || at[0] !== program) return;
    const view = a.findIndex((v, i) => i > 0 && typeof v === 'object' && v !== null);
    programs[program].uniforms[at[1]] = view < 0 ? [name, ...a.slice(1)]
      : [name, ...a.slice(1, view), values(a[view], a[view + 1], a[view + 2])];
  };
  const recordDraw = (name, a) => {
    const attributes = Object.entries(array.attributes).filter(([, v]) => v.enabled && v.pointer)
      .map(([, v]) => v.pointer);
    const bindings = [];
    for (const [u, targets] of Object.entries(units)) {
      for (const [target, t] of Object.entries(targets)) if (t !== null) bindings.push([+u, +target, t]);
    }
    recording.push({draw: [name, ...a], program, uniforms: {...programs[program]?.uniforms},
                    attributes, element: array.element, textures: bindings, fixed: {...fixed}});
  };

  protos.forEach((proto, i) => {
    for (const name of Object.getOwnPropertyNames(proto)) {
      const described = Object.getOwnPropertyDescriptor(proto, name);
      if (typeof described.value !== 'function' || name === 'constructor') continue;
      const call = originals[i][name] = described.value;
      const follow = track[name] || (name.startsWith('uniform') ? (a) => setUniform(name, a) : null);
      const draw = isDraw(name);
      proto[name] = function (...a) {
        cost.calls[name] = (cost.calls[name] || 0) + 1;
        if (draw) { cost.draws++; context = this; if (recording) recordDraw(name, a); }
        const result = call.apply(this, a);
        try {
          if (follow) follow(a, result);
        } catch (error) {  // a form not followed (an image element, say): the page goes on
          cost.unfollowed = name;
        }
        return result;
      };
    }
  });

  cost.light = () => protos.forEach((proto, i) => {
    for (const [name, call] of Object.entries(originals[i])) {
      proto[name] = isDraw(name)
        ? function (a, b, c, d, e, f) { cost.draws++; return call.call(this, a, b, c, d, e, f); }
        : call;
    }
  });

  const request = window.requestAnimationFrame;
  window.requestAnimationFrame = (callback) => request.call(window, (time) => {
    const draws = cost.draws;
    if (cost.wantFrame) recording = [];
    cost.animationFrames++;
    callback(time);
    if (cost.draws === draws) {
      recording = null;
      return;
    }
    cost.drawnFrames++;
    if (recording) {
      cost.frame = recording;
      cost.wantFrame = false;
      recording = null;
    }
  });

  const base64 = (bytes) => {
    let text = '';
    for (let i = 0; i < bytes.length; i += 0x8000) {
      text += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
    }
    return btoa(text);
  };
  cost.serialize = () => {
    const draws = cost.frame.filter(e => e.draw);
    const used = (key) => new Set(draws.flatMap(key));
    const keep = (all, wanted, form) =>
      Object.fromEntries([...wanted].filter(k => all[k]).map(k => [k, form(all[k])]));
    return JSON.stringify({
      context: {type: context instanceof WebGL2RenderingContext ? 'webgl2' : 'webgl',
                attributes: context.getContextAttributes()},
      programs: keep(programs, used(e => [e.program]),
                     p => ({shaders: p.shaders, attributes: p.attributes})),
      buffers: keep(buffers, used(e => [e.element, ...e.attributes.map(a => a[1])]),
                    b => ({target: b.target, usage: b.usage, data: base64(b.data)})),
      textures: keep(textures, used(e => e.textures.map(t => t[2])), t => ({
        target: t.target, params: t.params,
        uploads: t.uploads.map(u => ({...u, pixels: u.pixels && base64(u.pixels)}))})),
      events: cost.frame,
    });
  };
})();
