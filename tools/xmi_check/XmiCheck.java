// Loads XMI files written by `lum xmi` the way a UML tool does, and fails
// on anything such a tool would stumble over.
//
//   java -cp EMF_JARS:. XmiCheck UML2_DIR FILE.uml...   Eclipse flavour: EMF loads each file
//       against the UML2 metamodel (UML.ecore, Types.ecore in UML2_DIR)
//   java -cp EMF_JARS:. XmiCheck --xml FILE.xmi...       OMG flavour: well-formed XML only
//
// Both check every file as XML: well-formed, no id twice, every reference
// attribute and href resolving within the file (or to the standard primitive
// types). The EMF load also checks: no load errors (unknown features,
// unknown metaclasses, bad values), no unresolved proxies, every reference
// value of the metaclass its feature wants, every non-derived feature within
// its multiplicity. Dynamic EMF does none of this last part itself.
// Prints one summary line per file (objects per metaclass with -v) and exits
// 1 when anything was found.

import java.io.File;
import java.io.IOException;
import java.io.InputStream;
import java.util.*;
import javax.xml.parsers.SAXParserFactory;
import org.eclipse.emf.common.util.URI;
import org.eclipse.emf.ecore.*;
import org.eclipse.emf.ecore.impl.EFactoryImpl;
import org.eclipse.emf.ecore.impl.EModelElementImpl;
import org.eclipse.emf.ecore.resource.Resource;
import org.eclipse.emf.ecore.resource.ResourceSet;
import org.eclipse.emf.ecore.resource.impl.ResourceSetImpl;
import org.eclipse.emf.ecore.resource.impl.URIHandlerImpl;
import org.eclipse.emf.ecore.util.BasicExtendedMetaData;
import org.eclipse.emf.ecore.util.EcoreUtil;
import org.eclipse.emf.ecore.xmi.XMLResource;
import org.eclipse.emf.ecore.xmi.impl.EcoreResourceFactoryImpl;
import org.eclipse.emf.ecore.xmi.impl.XMIResourceFactoryImpl;
import org.xml.sax.Attributes;
import org.xml.sax.helpers.DefaultHandler;

public final class XmiCheck {
    static final String ECLIPSE_TYPES = "pathmap://UML_LIBRARIES/UMLPrimitiveTypes.library.uml";
    static final String OMG_TYPES = "http://www.omg.org/spec/UML/20161101/PrimitiveTypes.xmi";
    static final List<String> STANDARD = List.of("String", "Integer", "Boolean", "Real", "UnlimitedNatural");
    // Attributes that hold ids of the same file.
    static final Set<String> REFERENCES = Set.of("type", "general", "client", "supplier", "contract", "importedPackage",
            "addition", "extendedCase", "extensionLocation", "memberEnd", "navigableOwnedEnd", "association",
            "annotatedElement", "parameter", "parameteredElement", "precondition", "postcondition", "raisedException",
            "source", "target", "guard", "represents", "covered", "message", "sendEvent", "receiveEvent", "signature",
            "realizingClassifier", "modelElement", "event", "signal", "xmi:idref");

    final List<String> problems = new ArrayList<>();

    // A dynamic UML element is an EModelElement, as UML's Element extends it.
    static final class DynamicElement extends EModelElementImpl {
        DynamicElement(EClass eClass) { eSetClass(eClass); }
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
            String counts = check.xml(new File(args[i]), xmlOnly ? OMG_TYPES : ECLIPSE_TYPES);
            if (!xmlOnly) counts = check.emf(metamodel, new File(args[i]));
            for (String problem : check.problems.subList(0, Math.min(50, check.problems.size())))
                System.out.println(args[i] + ": " + problem);
            System.out.println(args[i] + ": " + check.problems.size() + " problems; " + counts);
            if (!check.problems.isEmpty()) ++failed;
        }
        System.exit(failed == 0 ? 0 : 1);
    }

    // The UML2 metamodel, its Types and Ecore wired together, with factories
    // that make dynamic elements EModelElements, and no network.
    ResourceSet metamodel(File dir) throws IOException {
        ResourceSetImpl set = new ResourceSetImpl();
        set.setURIResourceMap(new HashMap<>());
        set.getResourceFactoryRegistry().getExtensionToFactoryMap().put("ecore", new EcoreResourceFactoryImpl());
        set.getResourceFactoryRegistry().getExtensionToFactoryMap().put("*", new XMIResourceFactoryImpl());
        set.getURIConverter().getURIHandlers().add(0, new URIHandlerImpl() {
            @Override public boolean canHandle(URI uri) { return "http".equals(uri.scheme()) || "https".equals(uri.scheme()); }
            @Override public InputStream createInputStream(URI uri, Map<?, ?> options) throws IOException {
                throw new IOException("no network: " + uri);
            }
        });
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
        if (!EcoreUtil.UnresolvedProxyCrossReferencer.find(set).isEmpty())
            throw new IOException("the UML2 metamodel in " + dir + " does not resolve");
        return set;
    }

    // The standard primitive types as a library of the ids UML2's has.
    Resource library(ResourceSet set, EPackage uml) {
        Resource resource = set.getResourceFactoryRegistry().getFactory(URI.createURI("x.uml")).createResource(URI.createURI(ECLIPSE_TYPES));
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

    String emf(ResourceSet metamodel, File file) {
        ResourceSet set = new ResourceSetImpl();
        set.setPackageRegistry(metamodel.getPackageRegistry());
        set.setResourceFactoryRegistry(metamodel.getResourceFactoryRegistry());
        set.setURIConverter(metamodel.getURIConverter());
        EPackage uml = set.getPackageRegistry().getEPackage("http://www.eclipse.org/uml2/5.0.0/UML");
        library(set, uml);
        Resource resource = set.createResource(URI.createFileURI(file.getAbsolutePath()));
        try {
            // As UML2 loads its files: with the metamodel's own element names (an activity's ownedNode is "node").
            resource.load(Map.of(XMLResource.OPTION_DEFER_IDREF_RESOLUTION, Boolean.TRUE,
                    XMLResource.OPTION_EXTENDED_META_DATA, new BasicExtendedMetaData(set.getPackageRegistry())));
        } catch (Exception e) {
            problems.add("does not load: " + e.getMessage());
        }
        for (Resource.Diagnostic d : resource.getErrors()) {
            String what = d.getMessage();
            if (d instanceof org.eclipse.emf.ecore.xmi.IllegalValueException) {
                org.eclipse.emf.ecore.xmi.IllegalValueException e = (org.eclipse.emf.ecore.xmi.IllegalValueException) d;
                what = e.getObject().eClass().getName() + " " + EcoreUtil.getURI(e.getObject()).fragment() + ": "
                        + e.getFeature().getName() + " cannot hold " + ((EObject) e.getValue()).eClass().getName();
            }
            problems.add("line " + d.getLine() + ": " + what);
        }
        for (Resource.Diagnostic d : resource.getWarnings()) problems.add("line " + d.getLine() + ": " + d.getMessage());
        EcoreUtil.resolveAll(set);
        for (Map.Entry<EObject, Collection<EStructuralFeature.Setting>> e : EcoreUtil.UnresolvedProxyCrossReferencer.find(set).entrySet())
            problems.add("unresolved reference " + EcoreUtil.getURI(e.getKey()));
        Map<String, Integer> counts = new TreeMap<>();
        int objects = 0;
        for (Iterator<EObject> all = resource.getAllContents(); all.hasNext(); ++objects) {
            EObject object = all.next();
            counts.merge(object.eClass().getName(), 1, Integer::sum);
            conforms(object, (XMLResource) resource);
        }
        return objects + " objects " + counts;
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
                problems.add(where + ": " + feature.getName() + " has " + values.size() + " values, wants " + lower + ".."
                        + (upper < 0 ? "*" : upper));
            if (!(feature instanceof EReference)) continue;
            EClass wanted = ((EReference) feature).getEReferenceType();
            Set<Object> seen = new HashSet<>();
            for (Object value : values) {
                EObject target = (EObject) value;
                if (!seen.add(target)) problems.add(where + ": " + feature.getName() + " holds a value twice");
                if (target.eIsProxy()) continue;
                if (!wanted.isInstance(target))
                    problems.add(where + ": " + feature.getName() + " holds a " + target.eClass().getName() + ", wants " + wanted.getName());
                if (target.eResource() == null) problems.add(where + ": " + feature.getName() + " holds an object outside any file");
            }
        }
    }

    // The file as XML: well-formed, ids once, references inside the file.
    String xml(File file, String typesLibrary) throws Exception {
        Set<String> ids = new HashSet<>();
        List<String[]> references = new ArrayList<>();
        int[] elements = {0};
        try {
            SAXParserFactory.newInstance().newSAXParser().parse(file, new DefaultHandler() {
                @Override public void startElement(String uri, String local, String name, Attributes attributes) {
                    ++elements[0];
                    for (int i = 0; i < attributes.getLength(); ++i) {
                        String key = attributes.getQName(i), value = attributes.getValue(i);
                        if (key.equals("xmi:id") && !ids.add(value)) problems.add("id " + value + " is used twice");
                        if (key.equals("href")) references.add(new String[] {name, value});
                        else if (REFERENCES.contains(key) && !name.equals("eAnnotations"))
                            for (String id : value.trim().split("\\s+")) references.add(new String[] {name, "#" + id});
                    }
                }
            });
        } catch (Exception e) {
            problems.add("not well-formed XML: " + e.getMessage());
        }
        for (String[] reference : references) {
            String target = reference[1];
            boolean standard = target.startsWith(typesLibrary + "#") && STANDARD.contains(target.substring(typesLibrary.length() + 1));
            if (!standard && !(target.startsWith("#") && ids.contains(target.substring(1))))
                problems.add(reference[0] + " refers to " + target + ", which is not there");
        }
        return elements[0] + " elements, " + ids.size() + " ids";
    }
}
