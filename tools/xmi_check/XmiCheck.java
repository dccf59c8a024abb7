// Loads XMI files written by `lum xmi` the way a UML tool does, and fails
// on anything such a tool would stumble over.
//
//   java -cp EMF_JARS:. XmiCheck UML2_DIR FILE...   EMF loads each file against the UML2
//       metamodel (UML.ecore, Types.ecore in UML2_DIR)
//   java -cp EMF_JARS:. XmiCheck --xml FILE...      as XML only
//
// A file whose root is xmi:XMI is the OMG flavour: its UML namespace is read
// as UML2's metamodel, its primitive types as the standard ones, and its
// UMLDI diagrams, which have no metamodel here, are left out of the EMF load
// (they are checked as XML). Every problem is printed with its kind:
//   xml          not well-formed, an id twice
//   dangling     a reference to nothing in the file (an id or href as XML,
//                an unresolved proxy, an object in no file)
//   diagram      a UMLShape without one bounds, a UMLEdge with fewer than two waypoints
//   load         anything EMF reports while loading, errors and warnings
//                (unknown features or metaclasses, bad values)
//   conformance  a stored feature outside its multiplicity, a reference to
//                the wrong metaclass, a value twice
//   opposite     a reference whose opposite does not point back, or a value
//                the file sets that its opposite's value in the file undoes
//   source       an annotation source that is not a well-formed URI
//   key          an annotation with two details of one key
//   validator    anything else EMF's Diagnostician reports (WARNING or worse)
// The Diagnostician runs over every root; its findings of the kinds above are
// counted under those kinds. Prints one summary line per file and exits 1
// when anything was found.

import java.io.ByteArrayInputStream;
import java.io.File;
import java.io.IOException;
import java.io.InputStream;
import java.nio.charset.StandardCharsets;
import java.util.*;
import javax.xml.parsers.SAXParserFactory;
import org.eclipse.emf.common.util.Diagnostic;
import org.eclipse.emf.common.util.DiagnosticChain;
import org.eclipse.emf.common.util.URI;
import org.eclipse.emf.ecore.*;
import org.eclipse.emf.ecore.impl.EFactoryImpl;
import org.eclipse.emf.ecore.impl.EModelElementImpl;
import org.eclipse.emf.ecore.impl.EValidatorRegistryImpl;
import org.eclipse.emf.ecore.resource.Resource;
import org.eclipse.emf.ecore.resource.ResourceSet;
import org.eclipse.emf.ecore.resource.impl.ResourceSetImpl;
import org.eclipse.emf.ecore.resource.impl.URIHandlerImpl;
import org.eclipse.emf.ecore.util.BasicExtendedMetaData;
import org.eclipse.emf.ecore.util.Diagnostician;
import org.eclipse.emf.ecore.util.EObjectValidator;
import org.eclipse.emf.ecore.util.EcoreValidator;
import org.eclipse.emf.ecore.util.EcoreUtil;
import org.eclipse.emf.ecore.xmi.IllegalValueException;
import org.eclipse.emf.ecore.xmi.UnresolvedReferenceException;
import org.eclipse.emf.ecore.xmi.XMIException;
import org.eclipse.emf.ecore.xmi.XMLHelper;
import org.eclipse.emf.ecore.xmi.XMLResource;
import org.eclipse.emf.ecore.xmi.impl.EcoreResourceFactoryImpl;
import org.eclipse.emf.ecore.xmi.impl.XMIHelperImpl;
import org.eclipse.emf.ecore.xmi.impl.XMIResourceFactoryImpl;
import org.eclipse.emf.ecore.xmi.impl.XMIResourceImpl;
import org.xml.sax.Attributes;
import org.xml.sax.Locator;
import org.xml.sax.helpers.DefaultHandler;

public final class XmiCheck {
    static final String ECLIPSE_TYPES = "pathmap://UML_LIBRARIES/UMLPrimitiveTypes.library.uml";
    static final String OMG_TYPES = "http://www.omg.org/spec/UML/20161101/PrimitiveTypes.xmi";
    static final String ECLIPSE_UML = "http://www.eclipse.org/uml2/5.0.0/UML";
    static final String OMG_UML = "http://www.omg.org/spec/UML/20161101";
    static final String OMG_UMLDI = "http://www.omg.org/spec/UML/20161101/UMLDI";
    static final List<String> STANDARD = List.of("String", "Integer", "Boolean", "Real", "UnlimitedNatural");
    // Attributes that hold ids of the same file.
    static final Set<String> REFERENCES = Set.of("type", "general", "client", "supplier", "contract", "importedPackage",
            "addition", "extendedCase", "extensionLocation", "memberEnd", "navigableOwnedEnd", "association",
            "annotatedElement", "parameter", "parameteredElement", "precondition", "postcondition", "raisedException",
            "source", "target", "guard", "represents", "covered", "message", "sendEvent", "receiveEvent", "signature",
            "realizingClassifier", "modelElement", "event", "signal", "xmi:idref");

    final List<String> problems = new ArrayList<>();
    final Map<String, Integer> kinds = new TreeMap<>();
    // Of the file last read as XML: whether it is the OMG flavour, and then
    // the file without its diagrams, line for line, for EMF to load.
    boolean omg;
    final StringBuilder model = new StringBuilder();

    // A dynamic UML element is an EModelElement, as UML's Element extends it.
    // A feature's id in the metaclass that declares it (its base id) is
    // found through the element's metaclass: dynamic EMF would answer the
    // id in the element's own metaclass, and a metaclass with more than one
    // supertype (State: Namespace, RedefinableElement, Vertex) numbers the
    // later supertypes' features differently. Lists of more than four
    // elements compare these ids in contains(), so a State in a Region of
    // five vertices would seem not to be in its Region's subvertex.
    static final class DynamicElement extends EModelElementImpl {
        DynamicElement(EClass eClass) { eSetClass(eClass); }

        @Override public int eBaseStructuralFeatureID(int derivedFeatureID, Class<?> baseClass) {
            EStructuralFeature feature = baseClass == null && derivedFeatureID >= 0 ? eClass().getEStructuralFeature(derivedFeatureID) : null;
            return feature != null ? feature.getFeatureID() : derivedFeatureID;
        }
    }

    static boolean isModelElement(EClass eClass) {
        return EcorePackage.Literals.EMODEL_ELEMENT.isSuperTypeOf(eClass);
    }

    // Values as UML2 writes them: "*" is unlimited (-1); a Boolean must be true or false.
    static final class TypesFactory extends EFactoryImpl {
        @Override public Object createFromString(EDataType type, String value) {
            if (type.getName().equals("UnlimitedNatural") && value.equals("*")) return -1;
            if (type.getName().equals("Boolean") && !value.equals("true") && !value.equals("false"))
                throw new IllegalArgumentException("'" + value + "' is not a Boolean");
            return super.createFromString(type, value);
        }
    }

    public static void main(String[] args) throws Exception {
        if (args.length < 2) {
            System.err.println("usage: XmiCheck UML2_DIR FILE.uml... | XmiCheck --xml FILE.xmi...");
            System.exit(2);
        }
        boolean xmlOnly = args[0].equals("--xml");
        XmiCheck check = new XmiCheck();
        ResourceSet metamodel = xmlOnly ? null : check.metamodel(new File(args[0]));
        int failed = 0;
        for (int i = 1; i < args.length; ++i) {
            check.problems.clear();
            check.kinds.clear();
            String counts = check.xml(new File(args[i]));
            if (!xmlOnly) counts = check.emf(metamodel, new File(args[i])) + "; " + counts;
            for (String problem : check.problems.subList(0, Math.min(50, check.problems.size())))
                System.out.println(args[i] + ": " + problem);
            System.out.println(args[i] + ": " + check.problems.size() + " problems " + check.kinds + "; " + counts);
            if (!check.problems.isEmpty()) ++failed;
        }
        System.exit(failed == 0 ? 0 : 1);
    }

    void problem(String kind, String text) {
        problems.add("[" + kind + "] " + text);
        kinds.merge(kind, 1, Integer::sum);
    }

    // The UML2 metamodel, its Types and Ecore wired together, with factories
    // that make dynamic elements EModelElements, and no network.
    ResourceSet metamodel(File dir) throws IOException {
        ResourceSetImpl set = new ResourceSetImpl();
        set.setURIResourceMap(new HashMap<>());
        set.getResourceFactoryRegistry().getExtensionToFactoryMap().put("ecore", new EcoreResourceFactoryImpl());
        set.getResourceFactoryRegistry().getExtensionToFactoryMap().put("*", new XMIResourceFactoryImpl());
        offline(set);
        set.getPackageRegistry().put(EcorePackage.eNS_URI, EcorePackage.eINSTANCE);
        set.getURIResourceMap().put(URI.createURI("platform:/plugin/org.eclipse.emf.ecore/model/Ecore.ecore"),
                EcorePackage.eINSTANCE.eResource());
        Resource types = set.getResource(URI.createFileURI(new File(dir, "Types.ecore").getAbsolutePath()), true);
        set.getURIResourceMap().put(URI.createURI("platform:/plugin/org.eclipse.uml2.types/model/Types.ecore"), types);
        Resource uml = set.getResource(URI.createFileURI(new File(dir, "UML.ecore").getAbsolutePath()), true);
        EcoreUtil.resolveAll(set);
        EPackage typesPackage = (EPackage) types.getContents().get(0);
        EPackage umlPackage = (EPackage) uml.getContents().get(0);
        typesPackage.setEFactoryInstance(new TypesFactory());
        umlPackage.setEFactoryInstance(new EFactoryImpl() {
            @Override public EObject create(EClass eClass) {
                return isModelElement(eClass) ? new DynamicElement(eClass) : super.create(eClass);
            }
        });
        set.getPackageRegistry().put(typesPackage.getNsURI(), typesPackage);
        set.getPackageRegistry().put(umlPackage.getNsURI(), umlPackage);
        set.getPackageRegistry().put(OMG_UML, umlPackage);
        if (!EcoreUtil.UnresolvedProxyCrossReferencer.find(set).isEmpty())
            throw new IOException("the UML2 metamodel in " + dir + " does not resolve");
        return set;
    }

    // The resource set reads no http or https URI.
    static void offline(ResourceSet set) {
        set.getURIConverter().getURIHandlers().add(0, new URIHandlerImpl() {
            @Override public boolean canHandle(URI uri) { return "http".equals(uri.scheme()) || "https".equals(uri.scheme()); }
            @Override public InputStream createInputStream(URI uri, Map<?, ?> options) throws IOException {
                throw new IOException("no network: " + uri);
            }
        });
    }

    // The standard primitive types as a library of the ids UML2's (and the OMG's) has, at `uri`.
    Resource library(ResourceSet set, EPackage uml, String uri) {
        Resource resource = set.getResourceFactoryRegistry().getFactory(URI.createURI("x.uml")).createResource(URI.createURI(uri));
        EObject model = EcoreUtil.create((EClass) uml.getEClassifier("Model"));
        resource.getContents().add(model);
        @SuppressWarnings("unchecked")
        List<EObject> packaged = (List<EObject>) model.eGet(((EClass) uml.getEClassifier("Package")).getEStructuralFeature("packagedElement"));
        for (String name : STANDARD) {
            EObject type = EcoreUtil.create((EClass) uml.getEClassifier("PrimitiveType"));
            packaged.add(type);
            ((XMLResource) resource).setID(type, name);
        }
        set.getResources().add(resource);
        return resource;
    }

    // A reference whose values the file sets on both sides, so the two can disagree.
    static boolean paired(EStructuralFeature feature) {
        return feature instanceof EReference && ((EReference) feature).getEOpposite() != null
                && !((EReference) feature).isContainment() && !((EReference) feature).isContainer();
    }

    String emf(ResourceSet metamodel, File file) {
        ResourceSet set = new ResourceSetImpl();
        set.setPackageRegistry(metamodel.getPackageRegistry());
        set.setResourceFactoryRegistry(metamodel.getResourceFactoryRegistry());
        set.setURIConverter(metamodel.getURIConverter());
        EPackage uml = set.getPackageRegistry().getEPackage(ECLIPSE_UML);
        library(set, uml, omg ? OMG_TYPES : ECLIPSE_TYPES);
        // Every value the file sets on a paired reference (object, reference, value or id): EMF keeps the
        // two sides in step while it loads, so where the file's two sides disagree, that is only seen in
        // these.
        List<Object[]> written = new ArrayList<>();
        XMLResource resource = new XMIResourceImpl(URI.createFileURI(file.getAbsolutePath())) {
            @Override protected XMLHelper createXMLHelper() {
                return new XMIHelperImpl(this) {
                    @Override public void setValue(EObject object, EStructuralFeature feature, Object value, int position) {
                        if (paired(feature)) written.add(new Object[] {object, feature, value});
                        super.setValue(object, feature, value, position);
                    }
                    @Override public List<XMIException> setManyReference(ManyReference reference, String location) {
                        if (paired(reference.getFeature()))
                            for (Object value : reference.getValues()) written.add(new Object[] {reference.getObject(), reference.getFeature(), value});
                        return super.setManyReference(reference, location);
                    }
                };
            }
        };
        set.getResources().add(resource);
        try {
            // As UML2 loads its files: with the metamodel's own element names (an activity's ownedNode is "node").
            Map<String, Object> options = Map.of(XMLResource.OPTION_DEFER_IDREF_RESOLUTION, Boolean.TRUE,
                    XMLResource.OPTION_EXTENDED_META_DATA, new BasicExtendedMetaData(set.getPackageRegistry()));
            if (omg) resource.load(new ByteArrayInputStream(model.toString().getBytes(StandardCharsets.UTF_8)), options);
            else resource.load(options);
        } catch (Exception e) {
            // A load that stops at an error it lists throws that error too.
            if (resource.getErrors().isEmpty()) problem("load", "does not load: " + e.getMessage());
        }
        for (Resource.Diagnostic d : resource.getErrors()) {
            String what = d.getMessage();
            if (d instanceof UnresolvedReferenceException) {
                problem("dangling", "line " + d.getLine() + ": " + what);
                continue;
            }
            if (d instanceof IllegalValueException) {
                IllegalValueException e = (IllegalValueException) d;
                what = e.getObject().eClass().getName() + " " + EcoreUtil.getURI(e.getObject()).fragment() + ": "
                        + e.getFeature().getName() + " cannot hold " + (e.getValue() instanceof EObject
                                ? ((EObject) e.getValue()).eClass().getName() : "'" + e.getValue() + "'");
            }
            problem("load", "line " + d.getLine() + ": " + what);
        }
        for (Resource.Diagnostic d : resource.getWarnings()) problem("load", "line " + d.getLine() + ": warning: " + d.getMessage());
        EcoreUtil.resolveAll(set);
        for (Map.Entry<EObject, Collection<EStructuralFeature.Setting>> e : EcoreUtil.UnresolvedProxyCrossReferencer.find(set).entrySet())
            problem("dangling", "unresolved reference " + EcoreUtil.getURI(e.getKey()));
        opposites(written, resource);
        Map<String, Integer> counts = new TreeMap<>();
        int objects = 0;
        for (Iterator<EObject> all = resource.getAllContents(); all.hasNext(); ++objects) {
            EObject object = all.next();
            counts.merge(object.eClass().getName(), 1, Integer::sum);
            // UML2's elements are Ecore model elements; the OMG's UML has no eAnnotations.
            if (omg && object instanceof EAnnotation)
                problem("conformance", "an eAnnotation in " + EcoreUtil.getURI(object.eContainer()).fragment() + ", which OMG UML does not have");
            conforms(object, resource);
        }
        validate(resource);
        return objects + " objects " + counts;
    }

    // The file's values of paired references against each other: where the file writes both sides of
    // a pair, each value must be matched by the other side's, and no value may end up undone by another.
    void opposites(List<Object[]> written, XMLResource resource) {
        Set<List<Object>> values = new LinkedHashSet<>();
        Set<List<Object>> sides = new HashSet<>();  // (object, reference) the file writes
        for (Object[] setting : written) {
            Object value = setting[2] instanceof EObject ? setting[2] : resource.getEObject(String.valueOf(setting[2]));
            if (value == null || ((EObject) value).eIsProxy()) continue;  // dangling, found as such
            values.add(List.of(setting[0], setting[1], value));
            sides.add(List.of(setting[0], setting[1]));
        }
        for (List<Object> setting : values) {
            EObject object = (EObject) setting.get(0), value = (EObject) setting.get(2);
            EReference reference = (EReference) setting.get(1), opposite = reference.getEOpposite();
            Object now = object.eGet(reference, false);
            String what = name(object) + ": the file sets " + reference.getName() + " to " + name(value) + ", whose " + opposite.getName();
            if (sides.contains(List.of(value, opposite)) && !values.contains(List.of(value, opposite, object)))
                problem("opposite", what + " in the file does not hold it");
            else if (reference.isMany() ? !((List<?>) now).contains(value) : now != value)
                problem("opposite", what + " undoes it");
        }
    }

    static String name(EObject object) {
        String id = object.eResource() instanceof XMLResource ? ((XMLResource) object.eResource()).getID(object) : null;
        return object.eClass().getName() + " " + (id != null ? id : EcoreUtil.getURI(object).fragment());
    }

    // EMF's Diagnostician over every root. The UML packages are dynamic here, with no UML2 validator:
    // EObjectValidator's default constraints run on their objects (Ecore's own, such as the annotations,
    // keep EcoreValidator). One part of those constraints is left out: the multiplicity of features a
    // file does not store (derived, volatile or transient ones). Their values are computed by UML2's
    // generated code, which a dynamic load does not have, so a required one (Property::isComposite,
    // MultiplicityElement::lower, RedefinableTemplateSignature::classifier) always reads as unset. The
    // stored features' multiplicity is still checked, here and in conforms().
    void validate(Resource resource) {
        EObjectValidator dynamic = new EObjectValidator() {
            @Override public boolean validate(EClass eClass, EObject eObject, DiagnosticChain diagnostics, Map<Object, Object> context) {
                return validate_EveryDefaultConstraint(eObject, diagnostics, context);
            }
            @Override protected boolean validate_MultiplicityConforms(EObject eObject, EStructuralFeature feature,
                    DiagnosticChain diagnostics, Map<Object, Object> context) {
                return feature.isDerived() || feature.isVolatile() || feature.isTransient()
                        || super.validate_MultiplicityConforms(eObject, feature, diagnostics, context);
            }
        };
        EValidatorRegistryImpl registry = new EValidatorRegistryImpl(EValidator.Registry.INSTANCE);
        registry.put(resource.getResourceSet().getPackageRegistry().getEPackage(ECLIPSE_UML), dynamic);
        Diagnostician diagnostician = new Diagnostician(registry) {
            @Override public String getObjectLabel(EObject eObject) { return name(eObject); }
        };
        for (EObject root : resource.getContents()) report(diagnostician.validate(root));
    }

    void report(Diagnostic d) {
        for (Diagnostic child : d.getChildren()) report(child);
        if (d.getChildren().isEmpty() && d.getSeverity() >= Diagnostic.WARNING)
            problem(kind(d), (!d.getData().isEmpty() && d.getData().get(0) instanceof EObject
                    ? name((EObject) d.getData().get(0)) + ": " : "") + d.getMessage());
    }

    // The Diagnostician's findings that have a kind of their own.
    static String kind(Diagnostic d) {
        if (EcoreValidator.DIAGNOSTIC_SOURCE.equals(d.getSource()) && d.getCode() == EcoreValidator.WELL_FORMED_SOURCE_URI)
            return "source";
        if (!EObjectValidator.DIAGNOSTIC_SOURCE.equals(d.getSource())) return "validator";
        switch (d.getCode()) {
            case EObjectValidator.EOBJECT__EVERY_MAP_ENTRY_UNIQUE: return "key";
            case EObjectValidator.EOBJECT__EVERY_BIDIRECTIONAL_REFERENCE_IS_PAIRED: return "opposite";
            case EObjectValidator.EOBJECT__EVERY_PROXY_RESOLVES:
            case EObjectValidator.EOBJECT__EVERY_REFERENCE_IS_CONTAINED: return "dangling";
            default: return "validator";
        }
    }

    void conforms(EObject object, XMLResource resource) {
        String where = object.eClass().getName() + " " + resource.getID(object);
        for (EStructuralFeature feature : object.eClass().getEAllStructuralFeatures()) {
            if (feature.isDerived() || feature.isTransient() || feature.isVolatile()) continue;
            if (feature instanceof EReference && ((EReference) feature).isContainer()) continue;
            List<?> values = feature.isMany() ? (List<?>) object.eGet(feature, false)
                    : object.eIsSet(feature) ? Collections.singletonList(object.eGet(feature, false)) : List.of();
            int lower = feature.getLowerBound(), upper = feature.getUpperBound();
            // A single attribute always has a value: its default when not set.
            if (!feature.isMany() && feature instanceof EAttribute) continue;
            if (values.size() < lower || (upper >= 0 && values.size() > upper))
                problem("conformance", where + ": " + feature.getName() + " has " + values.size() + " values, wants " + lower + ".."
                        + (upper < 0 ? "*" : upper));
            if (!(feature instanceof EReference)) continue;
            EClass wanted = ((EReference) feature).getEReferenceType();
            Set<Object> seen = new HashSet<>();
            for (Object value : values) {
                EObject target = (EObject) value;
                if (!seen.add(target)) problem("conformance", where + ": " + feature.getName() + " holds a value twice");
                if (target.eIsProxy()) continue;
                if (!wanted.isInstance(target))
                    problem("conformance", where + ": " + feature.getName() + " holds a " + target.eClass().getName() + ", wants " + wanted.getName());
                if (target.eResource() == null) problem("dangling", where + ": " + feature.getName() + " holds an object outside any file");
            }
        }
    }

    // The file as XML: well-formed, ids once, references inside the file.
    // For the OMG flavour it also keeps the file without its UMLDI diagrams
    // in `model`, each line where it was (so EMF reports true lines).
    String xml(File file) throws Exception {
        Set<String> ids = new HashSet<>();
        List<String[]> references = new ArrayList<>();
        Set<String> diagramPrefixes = new HashSet<>();
        int[] elements = {0};
        omg = false;
        model.setLength(0);
        try {
            SAXParserFactory.newInstance().newSAXParser().parse(file, new DefaultHandler() {
                Locator locator;
                int depth = 0, skipping = -1;  // the depth of the diagram being left out
                // The diagram item (UMLShape, UMLEdge) open: its depth, id, kind, and bounds or waypoints seen.
                int itemDepth = -1, itemParts = 0;
                String itemId = "", itemType = "";

                @Override public void setDocumentLocator(Locator locator) { this.locator = locator; }

                @Override public void startElement(String uri, String local, String name, Attributes attributes) {
                    ++elements[0];
                    for (int i = 0; i < attributes.getLength(); ++i) {
                        String key = attributes.getQName(i), value = attributes.getValue(i);
                        if (key.equals("xmi:id") && !ids.add(value)) problem("xml", "id " + value + " is used twice");
                        if (key.equals("href")) references.add(new String[] {name, value});
                        else if (REFERENCES.contains(key) && !name.equals("eAnnotations"))
                            for (String id : value.trim().split("\\s+")) references.add(new String[] {name, "#" + id});
                        if (depth == 0 && key.startsWith("xmlns:") && value.equals(OMG_UMLDI)) diagramPrefixes.add(key.substring(6));
                    }
                    String type = attributes.getValue("xmi:type");
                    if (omg && ("umldi:UMLShape".equals(type) || "umldi:UMLEdge".equals(type))) {
                        itemDepth = depth;
                        itemParts = 0;
                        itemId = attributes.getValue("xmi:id");
                        itemType = type;
                    } else if (depth == itemDepth + 1 && (itemType.equals("umldi:UMLShape")
                            ? name.equals("bounds") && "dc:Bounds".equals(type) && attributes.getValue("width") != null
                                    && attributes.getValue("height") != null
                            : name.equals("waypoint") && "dc:Point".equals(type))
                            && attributes.getValue("x") != null && attributes.getValue("y") != null) {
                        ++itemParts;
                    }
                    if (depth == 0 && name.equals("xmi:XMI")) {
                        omg = true;
                        model.append("<?xml version=\"1.0\" encoding=\"UTF-8\"?>").append("\n".repeat(locator.getLineNumber() - 1));
                    }
                    if (depth == 1 && omg && diagramPrefixes.contains(name.substring(0, Math.max(0, name.indexOf(':')))))
                        skipping = depth;
                    ++depth;
                    if (!omg || skipping >= 0) return;
                    model.append('<').append(name);
                    for (int i = 0; i < attributes.getLength(); ++i)
                        escaped(model.append(' ').append(attributes.getQName(i)).append("=\""), attributes.getValue(i), true).append('"');
                    model.append('>');
                }

                @Override public void endElement(String uri, String local, String name) {
                    if (depth - 1 == itemDepth) {
                        if (itemType.equals("umldi:UMLShape") ? itemParts != 1 : itemParts < 2)
                            problem("diagram", itemType + " " + itemId + " has " + itemParts
                                    + (itemType.equals("umldi:UMLShape") ? " bounds, wants 1" : " waypoints, wants 2 or more"));
                        itemDepth = -1;
                    }
                    if (--depth == skipping) skipping = -1;
                    else if (omg && skipping < 0) model.append("</").append(name).append('>');
                }

                @Override public void characters(char[] text, int start, int length) {
                    if (!omg) return;
                    if (skipping < 0) escaped(model, new String(text, start, length), false);
                    else for (int i = start; i < start + length; ++i) if (text[i] == '\n') model.append('\n');
                }
            });
        } catch (Exception e) {
            problem("xml", "not well-formed XML: " + e.getMessage());
        }
        String typesLibrary = omg ? OMG_TYPES : ECLIPSE_TYPES;
        for (String[] reference : references) {
            String target = reference[1];
            boolean standard = target.startsWith(typesLibrary + "#") && STANDARD.contains(target.substring(typesLibrary.length() + 1));
            if (!standard && !(target.startsWith("#") && ids.contains(target.substring(1))))
                problem("dangling", reference[0] + " refers to " + target + ", which is not there");
        }
        return elements[0] + " elements, " + ids.size() + " ids";
    }

    static StringBuilder escaped(StringBuilder out, String text, boolean attribute) {
        for (int i = 0; i < text.length(); ++i) {
            char c = text.charAt(i);
            switch (c) {
                case '&': out.append("&amp;"); break;
                case '<': out.append("&lt;"); break;
                case '>': out.append("&gt;"); break;
                case '"': out.append("&quot;"); break;
                case '\t': out.append("&#9;"); break;
                case '\r': out.append("&#13;"); break;
                case '\n': out.append(attribute ? "&#10;" : "\n"); break;
                default: out.append(c);
            }
        }
        return out;
    }
}
